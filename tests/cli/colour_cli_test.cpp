// qelvesk-cli colour commands end to end: refusals that change nothing, bad
// arguments, and the histogram printout.

#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

using test::RunCliOnK1C;

// The start-up ramp is a mono image: every colour filter refuses it and the
// image dumped afterwards is the one dumped before.
TEST(ColourCli, ColourCommandsOnAMonoImageChangeNothing) {
  test::TempDir root;
  const std::string before = (root.path() / "before.raw").string(), after = (root.path() / "after.raw").string();
  const auto run = RunCliOnK1C(root,
                               {"dump-image " + before, "anti-alias", "colour-balance red=5,0,255", "colour-histogram",
                                "balance-histogram", "chromatism red-x=1", "colour-lowpass", "colour-overload",
                                "colour-stretch power=5", "colour-undo", "dump-image " + after},
                               {"--keep-going"});
  EXPECT_NE(run.status, 0);
  std::size_t refusals = 0;
  for (std::size_t at = run.err.find("Image Not Colour Converted"); at != std::string::npos;
       at = run.err.find("Image Not Colour Converted", at + 1)) {
    ++refusals;
  }
  EXPECT_EQ(refusals, 9u) << run.err;
  EXPECT_EQ(test::ReadBytes(after), test::ReadBytes(before));
}

TEST(ColourCli, SecondSynthesisAndAnEmptyUndoAreRefused) {
  test::TempDir root;
  const std::string first = (root.path() / "first.raw").string(), second = (root.path() / "second.raw").string();
  const auto run = RunCliOnK1C(root,
                               {"synthesize auto-process=0", "dump-image " + first, "colour-undo", "mono-extract red",
                                "single-filter 1", "synthesize", "dump-image " + second},
                               {"--keep-going"});
  EXPECT_NE(run.err.find("No colour filter to undo"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Already Colour Converted"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Sorry, Can only be applied to raw full frame images"), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadBytes(second), test::ReadBytes(first));
}

TEST(ColourCli, BadArgumentsAreRefusedBeforeAnythingRuns) {
  test::TempDir root;
  for (const char* line :
       {"chromatism red-x=4", "colour-balance red=1,2", "colour-balance blue=0,10,5", "colour-balance green=101,0,255",
        "single-filter 5", "mono-extract cyan", "synthesize daylight=2", "colour-stretch power=1"}) {
    const auto run = RunCliOnK1C(root, {"synthesize", line});
    EXPECT_NE(run.status, 0) << line;
    EXPECT_FALSE(run.err.empty()) << line;
  }
}

TEST(ColourCli, HistogramPrintsThreePeaksWithTheirNeighbours) {
  test::TempDir root;
  const auto run = RunCliOnK1C(root, {"synthesize auto-process=0", "colour-histogram"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("red peak ", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("\ngreen peak "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nblue peak "), std::string::npos) << run.out;
}

}  // namespace
}  // namespace qv
