// Dark frames, merging, hot pixel maps and the mouse through qelvesk-cli, on
// the start-up ramp (row y holds y * 62).

#include <gtest/gtest.h>

#include "support/cli_run.h"

namespace qv {
namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CalibrationCli, MergeOnTwoMarksAddsTheShiftedRows) {
  test::TempDir root;
  const auto run = test::RunCliOnK1C(root, {"save-raw c:/~b", "merge-start", "merge-mark x=100 y=100", "open c:/~b",
                                            "merge-mark x=100 y=102", "merge", "pixels x=5 y=100"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "image=12524 ")) << run.out;  // 100 * 62 + 102 * 62
}

TEST(CalibrationCli, DarkSubtractionByHandAndAutomatically) {
  test::TempDir root;
  auto run =
      test::RunCliOnK1C(root, {"save-raw c:/~dark", "invert", "subtract-dark c:/~dark", "pixels x=5 y=100", "history"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "image=" + std::to_string(59'334 - 6'200) + " ")) << run.out;  // inverted: 59334
  EXPECT_TRUE(Has(run.out, "Dark Frame Subtracted")) << run.out;

  run = test::RunCliOnK1C(root, {"select-dark c:/~dark", "auto-dark", "auto-dark", "pixels x=5 y=100"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "image=0 ")) << run.out;

  run = test::RunCliOnK1C(root, {"select-dark c:/absent", "auto-dark"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Has(run.err, "Failed to Open Darkframe Pell File")) << run.err;
}

TEST(CalibrationCli, HotPixelMapSavedAndLoadedBack) {
  test::TempDir root;
  // Rows 1033 to 1035 are at or above 64000 and inside the scan's border.
  auto run = test::RunCliOnK1C(root, {"hot-pixels-find threshold=64000", "hot-pixels-save c:/map.hpm"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "Hot Pixels Found: " + std::to_string(3 * (1392 - 10)))) << run.out;
  EXPECT_EQ(test::ReadBytes(root.path() / "map.hpm").size(), 19u + 4u * 3 * 1382);
  run = test::RunCliOnK1C(root, {"hot-pixels-apply"});
  EXPECT_EQ(run.status, 1);
  run = test::RunCliOnK1C(root, {"load-hot-pixel-map c:/map.hpm", "hot-pixels-apply", "pixels x=100 y=1034"});
  ASSERT_EQ(run.status, 0) << run.err;
  // Row 1033 is repaired first from rows 1032 and 1034, then 1034 from the new 1033.
  const int row1033 = (1033 * 62 * 2 + 1032 * 62 + 1034 * 62) / 4;
  EXPECT_TRUE(Has(run.out, "image=" + std::to_string((1034 * 62 * 2 + row1033 + 1035 * 62) / 4) + " ")) << run.out;
}

TEST(CalibrationCli, ClicksAndModes) {
  test::TempDir root;
  auto run = test::RunCliOnK1C(
      root, {"mode star", "click x=100 y=200 scroll-x=5", "pick-star", "focus-pick", "click x=10 y=500",
             "subframe-size 4", "subframe-pick", "click x=700 y=520", "mode none", "label abc", "pixels x=0 y=0"});
  ASSERT_EQ(run.status, 0) << run.err;
  // The start-up ramp brightens downward: the star centre finder moves the pick down.
  EXPECT_TRUE(Has(run.err, "x position =   105\ny position =   218")) << run.err;
  EXPECT_TRUE(Has(run.err, "x position =    67\ny position =   499\nleft =     5")) << run.err;
  EXPECT_TRUE(Has(run.out, "Sub-frame 325 x 258, window mode 4")) << run.out;
  EXPECT_TRUE(Has(run.out, "image=17 ")) << run.out;

  run = test::RunCliOnK1C(root, {"mode photometry", "click x=2 y=100"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Has(run.err, "Sorry, outside Image area - try again")) << run.err;
  run = test::RunCliOnK1C(root, {"click x=2 y=100 button=middle"});
  EXPECT_EQ(run.status, 2);
}

}  // namespace
}  // namespace qv
