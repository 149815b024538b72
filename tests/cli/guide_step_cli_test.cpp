// guide-step: one guiding decision at a time, the last direction of each axis
// carried from one command to the next.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

TEST(GuideStepCli, ReversalsAcrossCommandsTakeUpBacklash) {
  test::TempDir dir;
  const auto r = test::RunCliCaptured(
      {"--root", dir.str(), "settings-set telescopeGuiding=l ignoreSmallDrift=n raBacklash=2",
       "guide-step ref=100.0,100.0 star=101.0,100.0", "guide-step ref=100.0,100.0 star=101.0,100.0",
       "guide-step ref=100.0,100.0 star=99.0,100.0", "guide-step ref=100.0,100.0 star=160.0,100.0"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "error column=-1000 row=0\ncolumn: w magnitude=3000 backlash ms=1500 sends #:RG# #:Mw# #:Qw#\nrow: none\n"
            "error column=-1000 row=0\ncolumn: w magnitude=1000 ms=500 sends #:RG# #:Mw# #:Qw#\nrow: none\n"
            "error column=1000 row=0\ncolumn: e magnitude=3000 backlash ms=1500 sends #:RG# #:Me# #:Qe#\nrow: none\n"
            "error column=-60000 row=0\nskipped: the jump is too large, nothing sent\n");
}

TEST(GuideStepCli, GuidingShowHasTheLastStep) {
  test::TempDir dir;
  const auto r = test::RunCliCaptured({"--root", dir.str(), "settings-set ignoreSmallDrift=n",
                                       "guide-step ref=100.0,100.0 star=99.2,101.5", "guiding-show"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* field :
       {"columnError=800\n", "rowError=-1500\n", "lastX=e\n", "lastY=s\n", "lastXPulseMs=400\n", "lastYPulseMs=750\n",
        "driveDirections=nsew\n", "TGInfoDialog.ctl920=0.8\n", "TGInfoDialog.ctl921=-1.5\n",
        "TInfoDialog.ctl103=42.1\n", "TGWyDialog.ctl913=No darkframe has been taken\n",
        "TGWyDialog.ctl940=Telescope Drives\n"}) {
    EXPECT_NE(r.out.find(field), std::string::npos) << field;
  }
}

TEST(GuiderCli, ExposureRangesAndTheDarkFrame) {
  test::TempDir dir;
  auto r = test::RunCliCaptured({"--root", dir.str(), "--simulate", "--virtual-clock", "guider-dark apply",
                                 "guider-expose range=t value=5", "guider-dark take", "guider-dark apply",
                                 "guider-expose range=t value=5", "guider-dark apply on=0"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("No darkframe has been taken\n"), std::string::npos);
  EXPECT_NE(r.out.find("exposure-ms=500 "), std::string::npos);
  EXPECT_NE(r.out.find(" 5 tenth darkframe available\n"), std::string::npos);
  EXPECT_NE(r.out.find(" 5 tenth darkframe being used\n"), std::string::npos);
  EXPECT_NE(r.out.find("dark=applied\n"), std::string::npos);
  for (const char* bad : {"guider-expose range=h value=501", "guider-expose range=s value=11",
                          "guider-expose range=m value=1", "guider-expose range=t value=0"}) {
    EXPECT_NE(test::RunCliCaptured({"--root", dir.str(), bad}).status, 0) << bad;
  }
}

TEST(GuideStepCli, RefusesPositionsThatAreNotPixelsAndTenths) {
  test::TempDir dir;
  EXPECT_NE(test::RunCliCaptured({"--root", dir.str(), "guide-step ref=100.0,100.0 star=99.25,100"}).status, 0);
  EXPECT_NE(test::RunCliCaptured({"--root", dir.str(), "guide-step ref=100 star=99,100"}).status, 0);
  EXPECT_NE(test::RunCliCaptured({"--root", dir.str(), "guide-step ref=1,1 star=1,1 camera=ao"}).status, 0);
}

// The simulator's bright star sits at (716, 509); its camera sees north as
// up, so the Dec letters are swapped as a user would for such a camera.
TEST(GuideCli, TrainsThenGuidesOnTheSimulatorAndPrintsEachFrame) {
  test::TempDir dir;
  const auto r = test::RunCliCaptured(
      {"--root", dir.str(), "--simulate", "--virtual-clock",
       "settings-set telescopeGuiding=b ignoreSmallDrift=n driveDirections=snew ShowInterfaceDetails=n",
       "train main x=716 y=509", "guide main frames=6 x=716 y=509", "settings-show"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("ra-rate=2 dec-rate=2"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("raRate=2\n"), std::string::npos);
  EXPECT_NE(r.out.find("frame=1 error x=0.0 y=0.0 px - -\n"), std::string::npos);
  EXPECT_NE(r.out.find("frame=6 "), std::string::npos);
  EXPECT_NE(r.out.find("rms="), std::string::npos);
  EXPECT_NE(r.err.find("AutoGuiding Terminated"), std::string::npos);
}

// Every pulse a guided frame reports goes out on the telescope's port as rate,
// move and quit, in the frame's order, and nothing else is sent.
TEST(GuideCli, PulsesOnTheSerialPortAreExactlyThoseOfTheFrames) {
  test::TempDir dir;
  const std::string trace = dir.str() + "/serial.txt";
  const auto r = test::RunCliCaptured(
      {"--root", dir.str(), "--simulate", "--virtual-clock", "--trace-serial", trace,
       "settings-set telescopeGuiding=l ignoreSmallDrift=n driveDirections=snew ShowInterfaceDetails=n",
       "guide main frames=8 x=716 y=509"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string expected;
  const std::regex pulse(" ([nsew])=[0-9]+ms");
  for (std::sregex_iterator it(r.out.begin(), r.out.end(), pulse), end; it != end; ++it) {
    const std::string l = (*it)[1];
    expected += "sent port=0 \"#:RG#\"\nsent port=0 \"#:M" + l + "#\"\nsent port=0 \"#:Q" + l + "#\"\n";
  }
  EXPECT_FALSE(expected.empty());
  std::ifstream in(trace);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), expected);
}

TEST(GuideCli, NeedsAGuidingModeAndAStar) {
  test::TempDir dir;
  auto r = test::RunCliCaptured({"--root", dir.str(), "--simulate", "--virtual-clock", "guide main frames=2"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("no telescope guiding mode"), std::string::npos);
  r = test::RunCliCaptured(
      {"--root", dir.str(), "--simulate", "--virtual-clock", "settings-set telescopeGuiding=l", "guide main frames=2"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("No guiding star selected"), std::string::npos);
}

}  // namespace
}  // namespace qv
