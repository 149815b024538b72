// qelvesk-cli analysis and defaults commands end to end, on the start-up
// ramp (row y holds y * 62).

#include <gtest/gtest.h>

#include "support/cli_run.h"

namespace qv {
namespace {

using test::RunCliOnK1C;

TEST(AnalysisCli, PhotometryOfTheRampPrintsTheDialogsFields) {
  test::TempDir root;
  const auto run = RunCliOnK1C(root, {"photometry object=100,100 comparison=200,300 background=50,50 radius=3"});
  ASSERT_EQ(run.status, 0) << run.err;
  // -2.5 log10((6200 - 3100) / (18600 - 3100)) = 1.747
  EXPECT_EQ(run.out,
            "object=   6200\n"
            "comparison=  18600\n"
            "background=   3100\n"
            "magnitude=1.75\n");
}

TEST(AnalysisCli, PointsAndRowsOutsideTheFrameAreRefused) {
  test::TempDir root;
  auto run = RunCliOnK1C(root, {"photometry object=3,100 comparison=200,300 background=50,50"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("message 2: Sorry, outside Image area - try again"), std::string::npos);
  EXPECT_EQ(run.out, "");
  run = RunCliOnK1C(root, {"photometry object=100,100 comparison=200,300 background=50,50 radius=5"});
  EXPECT_EQ(run.status, 2);
  run = RunCliOnK1C(root, {"photometry object=100 comparison=200,300 background=50,50"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(RunCliOnK1C(root, {"row-plot row=1040"}).status, 1);
  EXPECT_EQ(RunCliOnK1C(root, {"values x=1 y=100"}).status, 1);
  EXPECT_EQ(RunCliOnK1C(root, {"values x=1391 y=100"}).status, 1);
}

TEST(AnalysisCli, RowPlotAndValuesReadTheRamp) {
  test::TempDir root;
  const auto run = RunCliOnK1C(root, {"row-plot", "values x=2 y=1000"});
  ASSERT_EQ(run.status, 0) << run.err;
  // Row 250: 15,500 / 384 = 40 above the base line.
  EXPECT_EQ(run.out.substr(0, 26), "row=250\n4 198\n5 158\n6 158\n");
  EXPECT_NE(run.out.find("x=2\ny=1000\nR=0\nG=0\nB=0\nLum= 62000\n"), std::string::npos);
}

TEST(AnalysisCli, ABacklashOver30IsHeldAndTheSavedFileKeepsTheLaterFields) {
  test::TempDir root;
  auto run = RunCliOnK1C(root, {"defaults-set raBacklash=45 autosaveDir=shots filterNames=L,R,G", "defaults-save"});
  ASSERT_EQ(run.status, 0) << run.err;
  run = RunCliOnK1C(root, {"settings-show"});
  EXPECT_NE(run.out.find("\nraBacklash=30\n"), std::string::npos);
  EXPECT_NE(run.out.find("\nautosaveDirectory=c:\\shots\n"), std::string::npos);
  EXPECT_NE(run.out.find("\nfilterNames=L,R,G,Filter 4,"), std::string::npos);
}

TEST(AnalysisCli, SettingsSetRefusesABacklashTheFileWouldNotReadBackAndRatesBelow1) {
  test::TempDir root;
  ASSERT_EQ(RunCliOnK1C(root, {"settings-set autosaveDirectory=c:\\\\kept"}).status, 0);
  for (const char* bad : {"raBacklash=31", "guiderDecBacklash=49", "raRate=0", "guiderDecRate=-2"}) {
    const auto run = RunCliOnK1C(root, {std::string("settings-set ") + bad});
    EXPECT_EQ(run.status, 2) << bad;
  }
  // 30 is read back; 50 and more are written as the file's clamp gives them.
  EXPECT_EQ(RunCliOnK1C(root, {"settings-set raBacklash=30 decBacklash=60 raRate=1"}).status, 0);
  const auto run = RunCliOnK1C(root, {"settings-show"});
  EXPECT_NE(run.out.find("\nraBacklash=30\n"), std::string::npos);
  EXPECT_NE(run.out.find("\nautosaveDirectory=c:\\kept\n"), std::string::npos);
}

TEST(AnalysisCli, DefaultsSetWithoutSaveLeavesTheFileAndRefusesTheAoUnitWithoutGuiding) {
  test::TempDir root;
  auto run = RunCliOnK1C(root, {"defaults-set background=r tiff16Bit=y", "defaults-show"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("background=r\n"), std::string::npos);
  EXPECT_NE(run.out.find("tiff16Bit=y\n"), std::string::npos);
  run = RunCliOnK1C(root, {"settings-show"});
  EXPECT_NE(run.out.find("\nwindowBackground=l\n"), std::string::npos);

  run = RunCliOnK1C(root, {"defaults-set aoUnitAvailable=y"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("message 80: Please select telescope guiding mode before selecting AO Unit"),
            std::string::npos);
  EXPECT_EQ(RunCliOnK1C(root, {"defaults-set guiding=l aoUnitAvailable=y"}).status, 0);
  EXPECT_EQ(RunCliOnK1C(root, {"defaults-set unknown=1"}).status, 2);
  EXPECT_EQ(RunCliOnK1C(root, {"defaults-set port=4"}).status, 2);
  run = RunCliOnK1C(root, {"defaults-set autosaveDir=z:\\x"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("message 52: Sorry, Invalid directory"), std::string::npos);
}

}  // namespace
}  // namespace qv
