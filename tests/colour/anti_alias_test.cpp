// The anti-alias filter: the median network, a pattern with a known answer,
// and random planes against a direct evaluation in both row-loop builds,
// with and without a label band on the frame.

#include "colour/anti_alias.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "colour_fixture.h"

namespace qv {
namespace {

using test::ColourFixture;
using test::kRowLoopBuilds;

TEST(AntiAlias, MedianOf25IsTheThirteenthLargest) {
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    std::uniform_int_distribution<int> value(0, round % 3 == 0 ? 4 : 65535);  // many ties in some rounds
    std::uint16_t v[25];
    for (auto& x : v) x = static_cast<std::uint16_t>(value(random));
    std::uint16_t sorted[25];
    std::copy(v, v + 25, sorted);
    std::sort(sorted, sorted + 25, std::greater<>());
    ASSERT_EQ(MedianOf25(v), sorted[12]) << round;
  }
}

// A bright pixel of 1300 over 1000 in every plane: the median drops it, its
// weighted neighbourhood mean is 1000 + 100, so its detail is 1200, whose
// low eight bits (176) go back onto the median.
TEST(AntiAlias, BrightPixelKeepsOnlyTheLowBitsOfItsDetail) {
  for (RowLoops loops : kRowLoopBuilds) {
    ColourFixture f(15, 13, loops);
    f.state->images.colourConverted = 1;
    for (int p = 0; p < 3; ++p) {
      std::fill_n(f.plane(p), 15 * 13, std::uint16_t{1000});
      f.planeAt(p, 7, 6) = 2300;
    }
    ASSERT_TRUE(AntiAliasFilter(*f.state, f.host, true));
    for (int p = 0; p < 3; ++p) {
      for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 15; ++x) {
          ASSERT_EQ(f.planeAt(p, x, y), x == 7 && y == 6 ? 1176 : 1000) << x << "," << y;
        }
      }
      EXPECT_EQ(f.state->images.buffers.colourUndo[p][6 * 15 + 7], 2300);
    }
    EXPECT_EQ(f.host.progressCaptions.front(), "ANTI-ALIAS PROGRESS");
    EXPECT_EQ(f.host.rebuilds, 1);
  }
}

std::vector<std::vector<std::uint16_t>> Reference(const std::vector<std::vector<std::uint16_t>>& in, int w, int h,
                                                  int firstRow) {
  static constexpr int kW[7][7] = {{0, 1, 2, 3, 2, 1, 0},  {1, 2, 3, 4, 3, 2, 1}, {2, 3, 6, 9, 6, 3, 2},
                                   {3, 4, 9, 12, 9, 4, 3}, {2, 3, 6, 9, 6, 3, 2}, {1, 2, 3, 4, 3, 2, 1},
                                   {0, 1, 2, 3, 2, 1, 0}};
  auto out = in;
  for (int y = firstRow + 3; y < h - 3; ++y) {
    for (int x = 3; x < w - 3; ++x) {
      long detail = 0;
      std::uint16_t median[3];
      for (int p = 0; p < 3; ++p) {
        long s = 0;
        for (int j = -3; j <= 3; ++j)
          for (int i = -3; i <= 3; ++i) s += kW[j + 3][i + 3] * in[p][(y + j) * w + x + i];
        const long low = std::min(s / 156, 65535L), v = in[p][y * w + x];
        detail += low < v ? v - low : 0;
        std::vector<std::uint16_t> window;
        for (int j = -2; j <= 2; ++j)
          for (int i = -2; i <= 2; ++i) window.push_back(in[p][(y + j) * w + x + i]);
        std::nth_element(window.begin(), window.begin() + 12, window.end());
        median[p] = window[12];
      }
      const long d = (detail / 3) % 256;
      for (int p = 0; p < 3; ++p) out[p][y * w + x] = static_cast<std::uint16_t>(std::min(median[p] + d, 65535L));
    }
  }
  return out;
}

TEST(AntiAlias, RandomPlanesMatchTheDirectEvaluationInBothBuilds) {
  for (RowLoops loops : kRowLoopBuilds) {
    for (auto [w, h, band] : {std::tuple{41, 19, false}, std::tuple{8, 7, false}, std::tuple{6, 30, false},
                              std::tuple{41, 19, true}, std::tuple{9, 30, true}}) {
      ColourFixture f(w, h, loops);
      f.randomColour(static_cast<unsigned>(w), 0, 65535);
      // The label band is marked in the frame (the luminance), never in a plane.
      if (band) f.markHeaderBand();
      std::vector<std::vector<std::uint16_t>> in{f.planePixels(0), f.planePixels(1), f.planePixels(2)};
      const auto want = Reference(in, w, h, band ? kHeaderBandRows : 0);
      ASSERT_TRUE(AntiAliasFilter(*f.state, f.host, false));
      for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(f.planePixels(p), want[p]) << test::RowLoopsName(loops) << " " << w << " band " << band;
      }
      EXPECT_EQ(f.host.rebuilds, 0);
    }
  }
}

TEST(AntiAlias, RefusedOnARawFrame) {
  ColourFixture f(10, 10);
  f.fillRandom(2, 0, 65535, f.plane(0));
  const auto before = f.planePixels(0);
  EXPECT_FALSE(AntiAliasFilter(*f.state, f.host, true));
  EXPECT_EQ(f.lastMessage(), "Image Not Colour Converted");
  EXPECT_EQ(f.planePixels(0), before);
}

}  // namespace
}  // namespace qv
