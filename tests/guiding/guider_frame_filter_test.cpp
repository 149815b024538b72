// The guider frame's median filter and the levels it is shown between.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <vector>

#include "guiding/guider_median.h"
#include "guiding/guider_picture.h"

namespace qv {
namespace {

using Frame = std::vector<std::uint16_t>;

Frame Filtered(Frame frame, int width) {
  Frame aux(frame.size());
  GuiderMedianFilter(frame.data(), aux.data(), width, static_cast<int>(frame.size()) / width);
  return frame;
}

TEST(GuiderMedianFilter, ReplacesOnlyPixelsFurtherFromTheMedianThanSixTenthsOfTheRange) {
  // One inner pixel; its eight neighbours 0 but one at 100: range 100,
  // allowed 60, median 0.
  const auto centre = [](std::uint16_t p) { return Frame{0, 0, 0, 0, p, 0, 0, 0, 100}; };
  EXPECT_EQ(Filtered(centre(60), 3)[4], 60);
  EXPECT_EQ(Filtered(centre(61), 3)[4], 0);
  // A hot pixel in a flat patch is the whole range: 0.6 of it is less than
  // its distance from the median.
  Frame flat(5 * 5, 1000);
  flat[12] = 9000;
  flat[0] = 9000;  // the border is never filtered
  const Frame out = Filtered(flat, 5);
  EXPECT_EQ(out[12], 1000);
  EXPECT_EQ(out[0], 9000);
}

TEST(GuiderMedianFilter, KeepsAStarAndReadsOnlyTheUnfilteredFrame) {
  // A star's peak and shoulders: each window spans the star's range, so
  // nothing moves.
  Frame star(5 * 5, 500);
  star[12] = 6000;
  for (int i : {7, 11, 13, 17}) star[static_cast<std::size_t>(i)] = 3000;
  EXPECT_EQ(Filtered(star, 5), star);

  // A small random frame against the rule applied pixel by pixel to the
  // original: a filter that read pixels it had already replaced would differ.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> level(0, 65535);
  const int width = 9, rows = 7;
  Frame frame(static_cast<std::size_t>(width * rows));
  for (auto& p : frame)
    p = static_cast<std::uint16_t>(level(random) % 4 == 0 ? level(random) : 2000 + level(random) % 50);
  Frame expected = frame;
  for (int y = 1; y < rows - 1; ++y) {
    for (int x = 1; x < width - 1; ++x) {
      std::array<int, 9> w{};
      int k = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          w[static_cast<std::size_t>(k++)] = frame[static_cast<std::size_t>((y + dy) * width + x + dx)];
      std::sort(w.begin(), w.end());
      const int p = frame[static_cast<std::size_t>(y * width + x)];
      if (static_cast<int>(0.6 * (w[8] - w[0])) < std::abs(w[4] - p))
        expected[static_cast<std::size_t>(y * width + x)] = static_cast<std::uint16_t>(w[4]);
    }
  }
  const Frame out = Filtered(frame, width);
  EXPECT_EQ(out, expected);
  EXPECT_NE(out, frame);
}

TEST(GuiderLevels, BackgroundIsTheFullestBinAboveZeroAndTopNeedsSixPixels) {
  Frame frame(1000, 0);                                          // bin 0 is the fullest but never the background
  std::fill(frame.begin() + 500, frame.begin() + 900, 0x0A10);   // bin 10
  std::fill(frame.begin() + 900, frame.begin() + 994, 0x0B00);   // bin 11
  std::fill(frame.begin() + 994, frame.begin() + 1000, 0x4000);  // six pixels in bin 64
  GuiderLevels levels = MeasureGuiderLevels(frame.data(), frame.size());
  EXPECT_EQ(levels.background, 10);
  EXPECT_EQ(levels.top, 64);
  EXPECT_EQ(levels.peak, 0x4000);
  frame[999] = 0x0B00;  // five left in bin 64: the top falls to bin 11
  levels = MeasureGuiderLevels(frame.data(), frame.size());
  EXPECT_EQ(levels.top, 11);
}

TEST(GuiderLevels, BytesRunFromBackgroundToPeakOrToTheStretchedTopLevel) {
  const GuiderLevels levels{10, 19, 20 * 256};
  const Frame pixels{0, 10 * 256, 15 * 256, 20 * 256, 20 * 256};
  std::array<std::uint8_t, 5> out{};
  RenderGuiderBytes(pixels.data(), pixels.size(), levels, {}, out.data());
  EXPECT_EQ(out, (std::array<std::uint8_t, 5>{0, 0, 180, 255, 255}));  // half way up: 255 x sqrt(0.5)
  // The stretch reaches white at half the span to the top level: a peak far
  // above the top level no longer sets the scale.
  const GuiderLevels brightStar{10, 19, 60000};
  GuiderImageOptions stretched;
  stretched.stretch = true;
  stretched.stretchValue = 2;
  RenderGuiderBytes(pixels.data(), pixels.size(), brightStar, {}, out.data());
  EXPECT_EQ(out[2], 38);
  RenderGuiderBytes(pixels.data(), pixels.size(), brightStar, stretched, out.data());
  EXPECT_EQ(out, (std::array<std::uint8_t, 5>{0, 0, 255, 255, 255}));
}

}  // namespace
}  // namespace qv
