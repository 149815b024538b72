// What every qelvesk-cli run obeys: bad input is refused before anything
// runs, refused commands stop the run unless --keep-going, and the frame's
// pixels can be read out for scripts.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_app.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

using CliResult = test::CliOutcome;

std::string RaRate(const test::TempDir& root) {
  const std::string listing = test::RunCliOnK1C(root, {"settings-show"}).out;
  const auto at = listing.find("\nraRate=");
  return listing.substr(at + 8, listing.find('\n', at + 1) - at - 8);
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(CliRules, BadInputIsOneLineAndChangesNothing) {
  test::TempDir root;
  ASSERT_EQ(RaRate(root), "2");
  struct Case {
    std::string line;
    std::string says;
  };
  const Case cases[] = {
      {"nosuch", "unknown command 'nosuch'"},
      {"open", "open: give one file name"},
      {"median radius=x power=5", "median: radius must be a whole number from 1 to 3"},
      {"unsharp radius=3", "unsharp: give power=N (1 to 7)"},
      {"gaussian size=3", "gaussian: does not take size="},
      {"stretch-power p=0,5", "stretch-power: give p=N from 0.1 to 3.0"},
      {"dump-image out.raw plane=alpha", "dump-image: plane must be"},
  };
  for (const Case& c : cases) {
    // The good command before the bad one does not run either.
    const CliResult run = test::RunCliOnK1C(root, {"settings-set raRate=9", c.line});
    EXPECT_EQ(run.status, 2) << c.line;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(Lines(run.err), 1) << run.err;
    EXPECT_EQ(RaRate(root), "2") << c.line;
  }
}

TEST(CliRules, RefusedCommandsStopTheRunUnlessKeepGoing) {
  test::TempDir root;
  const std::string missing = (root.path() / "missing.fit").string();
  // A colour command on a mono image is refused with a message.
  CliResult run =
      test::RunCliOnK1C(root, {"save-rgb-fits " + (root.path() / "c.fit").string(), "settings-set raRate=9"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("message 72: "), std::string::npos);
  EXPECT_NE(run.err.find("qelvesk-cli: save-rgb-fits failed"), std::string::npos);
  EXPECT_EQ(RaRate(root), "2");
  run = test::RunCliOnK1C(root,
                          {"dump-image " + (root.path() / "r.raw").string() + " plane=red", "settings-set raRate=9"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("not colour converted"), std::string::npos);
  EXPECT_EQ(RaRate(root), "2");
  // With --keep-going the later commands still run; the exit says one failed.
  run = test::RunCliOnK1C(root, {"open " + missing, "settings-set raRate=9"}, {"--keep-going"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(RaRate(root), "9");
}

TEST(CliRules, DumpImageAndPixelsReadTheCurrentFrame) {
  test::TempDir root;
  const auto file = root.path() / "frame.raw";
  // The start-up picture: row y holds y * 62.
  const CliResult run =
      test::RunCliOnK1C(root, {"dump-image " + file.string(), "pixels x=5 y=100", "pixels x=1391 y=1039"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "1392 1040\nimage=6200 red=0 green=0 blue=0\nimage=64418 red=0 green=0 blue=0\n");
  const auto bytes = test::ReadBytes(file);
  ASSERT_EQ(bytes.size(), 1392u * 1040u * 2u);
  const std::size_t at = (100u * 1392u + 5u) * 2u;
  EXPECT_EQ(bytes[at] | bytes[at + 1] << 8, 6200);
  EXPECT_EQ(test::RunCliOnK1C(root, {"pixels x=1392 y=0"}).status, 1);
}

}  // namespace
}  // namespace qv
