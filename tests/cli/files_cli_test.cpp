// The file commands of qelvesk-cli end to end.

#include <gtest/gtest.h>

#include <sstream>

#include "app/settings_file.h"
#include "cli/cli_app.h"
#include "support/cli_run.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

using CliResult = test::CliOutcome;

TEST(FilesCli, SavesOpensAndShowsTheHeaderValues) {
  test::TempDir root;
  const std::string fit = (root.path() / "m.fit").string();
  const std::string raw = (root.path() / "~m").string();
  CliResult run = test::RunCliOnK1C(root, {"fits-set object='M 42' exptime=30 ut-offset=-3", "save-fits " + fit,
                                           "save-raw " + raw, "fits-set object=other", "open " + fit, "fits-show"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("object=M 42\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("exptime=3.0000000000E+01\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("ut-offset=-3\n"), std::string::npos) << run.out;
  EXPECT_EQ(test::ReadBytes(fit).size(), 2'901'120u);
  EXPECT_EQ(test::ReadBytes(raw).size(), 2'895'370u);

  run = test::RunCliOnK1C(root, {"open " + (root.path() / "absent").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("message 11: Failed to Open Pell File"), std::string::npos) << run.err;

  run = test::RunCliOnK1C(root, {"fits-set colour=red"});
  EXPECT_NE(run.status, 0);
}

TEST(FilesCli, AutoProcessingValidatesBeforeSaving) {
  test::TempDir root;
  CliResult run = test::RunCliOnK1C(root, {"auto-processing user power=12 unsharp=1 radius=3 unsharp-power=2"});
  ASSERT_EQ(run.status, 0) << run.err;
  ProgramSettings saved;
  DataPaths paths{root.str()};
  test::RecordingHost host;
  ASSERT_EQ(LoadSettings(saved, paths, host), SettingsStatus::Ok);
  EXPECT_TRUE(saved.autoUserStretch);
  EXPECT_EQ(saved.autoUserStretchLevel, 12);
  EXPECT_TRUE(saved.autoUnsharpMask);

  run = test::RunCliOnK1C(root, {"auto-processing weak power=30"});
  EXPECT_NE(run.status, 0);
  ASSERT_EQ(LoadSettings(saved, paths, host), SettingsStatus::Ok);
  EXPECT_TRUE(saved.autoUserStretch);  // nothing changed
  EXPECT_EQ(saved.autoUserStretchLevel, 12);
}

TEST(FilesCli, QuickSaveAndLoadNextWalkTheAutosavedFiles) {
  test::TempDir root;
  // The default autosave folder is the data root's autosave folder.
  CliResult run = test::RunCliOnK1C(
      root,
      {"quick-save", "quick-save", "open " + (root.path() / "autosave" / "IMG1.FIT").string(), "load-next-autosaved"});
  ASSERT_EQ(run.status, 0) << run.err;
  run = test::RunCliOnK1C(root, {"open " + (root.path() / "autosave" / "IMG2.FIT").string(), "load-next-autosaved"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("message 40:"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace qv
