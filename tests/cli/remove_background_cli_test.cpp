// remove-background from qelvesk-cli gives what the window gives: the black
// level comes from the display the loaded frame was shown in.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_app.h"
#include "support/black_level_frame.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

constexpr int kWidth = 1392, kHeight = 1040;  // the headerless frame's size

using CliRun = test::CliOutcome;

TEST(RemoveBackgroundCli, UsesTheBlackLevelOfTheShownFrame) {
  test::TempDir root;
  std::vector<unsigned char> frame;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::uint16_t v = test::BlackLevelFramePixel(x, y);
      frame.push_back(static_cast<unsigned char>(v & 0xff));
      frame.push_back(static_cast<unsigned char>(v >> 8));
    }
  }
  const auto input = root.path() / "frame.raw";
  const auto output = root.path() / "out.raw";
  test::WriteBytes(input, frame);

  const CliRun run =
      test::RunCliOnK1C(root, {"open " + input.string(), "remove-background", "save-raw " + output.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.find("below 3"), std::string::npos) << run.err;
  const auto saved = test::ReadBytes(output);
  ASSERT_GE(saved.size(), frame.size());
  // Spot values by hand at black level 42 (s = 255 / 215, c = 5120):
  // 10,257 -> 18, 10,499 -> 306, 11,720 -> 1,754, 65,535 -> 65,534, 5,000 -> 0.
  const auto pixel = [&](int x, int y) {
    const std::size_t at = 2 * (static_cast<std::size_t>(y) * kWidth + x);
    return static_cast<int>(saved[at] | saved[at + 1] << 8);
  };
  EXPECT_EQ(pixel(0, 20), 18);
  EXPECT_EQ(pixel(1, 20), 306);
  EXPECT_EQ(pixel(2, 20), 1754);
  EXPECT_EQ(pixel(3, 49), 65534);
  EXPECT_EQ(pixel(3, 50), 0);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      ASSERT_EQ(pixel(x, y), test::BackgroundRemovedAt42(test::BlackLevelFramePixel(x, y))) << x << "," << y;
    }
  }
}

TEST(RemoveBackgroundCli, SaysSoWhenTheBlackLevelIsBelowThree) {
  test::TempDir root;
  // Nothing shown yet: no level has been measured.
  const auto output = root.path() / "out.raw";
  CliRun run = test::RunCliOnK1C(
      root, {"save-raw " + (root.path() / "before.raw").string(), "remove-background", "save-raw " + output.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("remove-background: black level below 3, nothing done"), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadBytes(output), test::ReadBytes(root.path() / "before.raw"));
}

}  // namespace
}  // namespace qv
