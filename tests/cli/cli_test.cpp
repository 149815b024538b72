// qelvesk-cli: word splitting, options, and the foundation commands end to end.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/command_args.h"
#include "app/settings_file.h"
#include "cli/cli_app.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

using CliRun = test::CliOutcome;
constexpr auto& RunTool = test::RunCliCaptured;

std::string Value(const std::string& listing, const std::string& name) {
  std::istringstream in(listing);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
  }
  return "<missing>";
}

TEST(CommandLine, SplitsAsAShellDoes) {
  EXPECT_EQ(*SplitWords("a  b\tc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(*SplitWords("set object='M 42' x=\"a \\\"b\\\"\""),
            (std::vector<std::string>{"set", "object=M 42", "x=a \"b\""}));
  EXPECT_EQ(*SplitWords("a\\ b ''"), (std::vector<std::string>{"a b", ""}));
  EXPECT_FALSE(SplitWords("open 'unclosed"));
  EXPECT_FALSE(SplitWords("open \"unclosed"));
  const CommandArgs c = ParseCommandWords({"save-tiff", "out.tif", "sixteen-bit=1", "=x"});
  EXPECT_EQ(c.name, "save-tiff");
  EXPECT_EQ(c.positional, (std::vector<std::string>{"out.tif", "=x"}));
  ASSERT_NE(c.option("sixteen-bit"), nullptr);
  EXPECT_EQ(*c.option("sixteen-bit"), "1");
}

TEST(Cli, SettingsSaveWritesTheDefaultFile) {
  test::TempDir root;
  const CliRun run = RunTool({"--root", root.str(), "settings-save"});
  EXPECT_EQ(run.status, 0) << run.err;
  const auto bytes = test::ReadBytes(root.path() / "autosave" / "Qel_K1C.ini");
  EXPECT_EQ(bytes, EncodeSettings(ProgramSettings{}));
}

TEST(Cli, SettingsSetClampsWhatIsWritten) {
  test::TempDir root;
  const CliRun run = RunTool({"--root", root.str(), "settings-set raBacklash=60 decBacklash=60", "settings-show"});
  EXPECT_EQ(run.status, 0) << run.err;
  const auto bytes = test::ReadBytes(root.path() / "autosave" / "Qel_K1C.ini");
  EXPECT_EQ(bytes[17], 10);
  EXPECT_EQ(bytes[19], 0);
  EXPECT_EQ(Value(run.out, "raBacklash"), "60");
}

TEST(Cli, SettingsShowListsFieldsInFileOrderOnce) {
  test::TempDir root;
  const CliRun run = RunTool({"--root", root.str(), "settings-show"});
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("lastFileNumber=0\nutOffsetHours=0\ntelescopePort=1\n", 0), 0u);
  EXPECT_EQ(Value(run.out, "instrument"), "Corvane CCD");
  EXPECT_EQ(Value(run.out, "filterNames"), "Blank,Filter 2,Filter 3,Filter 4,Filter 5,Filter 6,Filter 7,Filter 8");
  EXPECT_EQ(Value(run.out, "guiderCameraType"), "s");
  EXPECT_EQ(run.out.find("autoWeakStretch"), run.out.rfind("autoWeakStretch"));
}

TEST(Cli, SettingsSurviveBetweenRuns) {
  test::TempDir root;
  ASSERT_EQ(RunTool({"--root", root.str(), "settings-set object='M 31' utOffsetHours=-2 filterCount=5"}).status, 0);
  const CliRun run = RunTool({"--root", root.str(), "settings-show"});
  EXPECT_EQ(Value(run.out, "object"), "M 31");
  EXPECT_EQ(Value(run.out, "utOffsetHours"), "-2");
  EXPECT_EQ(Value(run.out, "filterCount"), "5");
}

TEST(Cli, BadSettingChangesNothing) {
  test::TempDir root;
  const CliRun run = RunTool({"--root", root.str(), "settings-set raRate=7 decRate=seven"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("decRate"), std::string::npos);
  EXPECT_EQ(Value(RunTool({"--root", root.str(), "settings-show"}).out, "raRate"), "2");
  EXPECT_EQ(RunTool({"--root", root.str(), "settings-set nosuch=1"}).status, 2);
  EXPECT_EQ(RunTool({"--root", root.str(), "settings-set driveDirections=nse"}).status, 2);
  EXPECT_EQ(RunTool({"--root", root.str(), "settings-set raRate=40000"}).status, 2);
}

TEST(Cli, CameraTypeSetsGeometryAndIsSaved) {
  test::TempDir root;
  CliRun run = RunTool({"--root", root.str(), "camera-type K4C", "geometry"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Value(run.out, "width"), "3388");
  EXPECT_EQ(Value(run.out, "pixelCount"), "9188256");
  EXPECT_EQ(Value(run.out, "bitmapName"), "c:\\Autosave\\Qel_K4C.bmp");
  // The next run starts with the saved model.
  run = RunTool({"--root", root.str(), "geometry"});
  EXPECT_EQ(Value(run.out, "height"), "2712");
  EXPECT_EQ(RunTool({"--root", root.str(), "camera-type K6"}).status, 2);
}

TEST(Cli, CameraOptionAndBuiltInModel) {
  test::TempDir root;
  CliRun run = RunTool({"--root", root.str(), "geometry"});
  EXPECT_EQ(Value(run.out, "width"), "2048");
  EXPECT_EQ(Value(run.out, "hotPixelMapName"), "Vesk_HPM");
  run = RunTool({"--root", root.str(), "--camera", "K7", "geometry"});
  EXPECT_EQ(Value(run.out, "width"), "1304");
  EXPECT_EQ(RunTool({"--root", root.str(), "--camera", "K9", "geometry"}).status, 2);
}

TEST(Cli, MessagesGoToStderrWithTheirNumber) {
  test::TempDir root;
  CliRun run = RunTool({"--root", root.str(), "message 69", "message 45", "message 50 'text=ERROR -3 '"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "message 69: Image Not Colour Converted\nmessage 45: \nmessage 50: ERROR -3 \n");
  EXPECT_EQ(RunTool({"--root", root.str(), "message x"}).status, 2);
}

TEST(Cli, HistoryAndUndo) {
  test::TempDir root;
  const CliRun run = RunTool({"--root", root.str(), "history", "undo", "history"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
}

TEST(Cli, ScriptsAndUsageErrors) {
  test::TempDir root;
  const auto script = root.path() / "script.txt";
  {
    std::ofstream out(script);
    out << "# a comment\n\nsettings-set observer=\"Jo Bloggs\"\nsettings-show\n";
  }
  CliRun run = RunTool({"--root", root.str(), "--script", script.string()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Value(run.out, "observer"), "Jo Bloggs");
  EXPECT_EQ(RunTool({"--root", root.str(), "no-such-command"}).status, 2);
  EXPECT_EQ(RunTool({"--root", root.str(), "--bogus"}).status, 2);
  EXPECT_EQ(RunTool({"--root", root.str(), "--script", (root.path() / "none").string()}).status, 2);
  EXPECT_EQ(RunTool({"--root", root.str(), "history 'open"}).status, 2);
  // A usage error is found before anything runs: nothing was saved.
  test::TempDir fresh;
  EXPECT_EQ(RunTool({"--root", fresh.str(), "settings-save", "bogus"}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(fresh.path() / "autosave"));
}

TEST(Cli, HelpDocumentsEveryCommand) {
  const CliRun run = RunTool({"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* name : {"settings-show", "settings-set", "settings-load", "settings-save", "camera-type", "geometry",
                           "message", "history", "undo", "--root", "--simulate", "--camera", "--script"}) {
    EXPECT_NE(run.out.find(name), std::string::npos) << name;
  }
}

TEST(Cli, BinaryRunsAndReportsFailure) {
  test::TempDir root;
  const std::string base = std::string(QELVESK_CLI_BINARY) + " --root " + root.str();
  EXPECT_EQ(std::system((base + " settings-save >/dev/null 2>&1").c_str()), 0);
  EXPECT_NE(std::system((base + " 'camera-type K0' >/dev/null 2>&1").c_str()), 0);
}

}  // namespace
}  // namespace qv
