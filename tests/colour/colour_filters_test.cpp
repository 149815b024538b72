// Chromatism on a shifted test card, the colour low pass against a direct
// evaluation in both builds, the overload smoothing around a saturated star,
// and colour undo.

#include "colour/colour_filters.h"

#include <gtest/gtest.h>

#include "app/undo_commands.h"
#include "colour/colour_checks.h"
#include "colour/colour_synthesis.h"
#include "colour_fixture.h"

namespace qv {
namespace {

using test::ColourFixture;
using test::kRowLoopBuilds;
constexpr int R = ImageStore::kRed, B = ImageStore::kBlue, G = ImageStore::kGreen;

int Card(int x, int y) { return (x * 37 + y * 101) % 4000 + ((x / 4 + y / 3) % 2) * 20000; }

TEST(Chromatism, RealignsShiftedPlanesOfATestCard) {
  ColourFixture f(30, 20);
  f.state->images.colourConverted = 1;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) {
      f.planeAt(G, x, y) = static_cast<std::uint16_t>(Card(x, y));
      // Red lies two right and one down, blue one left.
      f.planeAt(R, x, y) = static_cast<std::uint16_t>(Card(x - 2, y - 1));
      f.planeAt(B, x, y) = static_cast<std::uint16_t>(Card(x + 1, y));
    }
  }
  ASSERT_TRUE(AdjustChromatism(*f.state, f.host, {.redX = 2, .redY = 1, .blueX = -1}));
  for (int y = 0; y < 19; ++y) {
    for (int x = 1; x < 28; ++x) {
      ASSERT_EQ(f.planeAt(R, x, y), Card(x, y)) << x << "," << y;
      ASSERT_EQ(f.planeAt(B, x, y), Card(x, y)) << x << "," << y;
    }
  }
  // Sources outside the frame leave the pixel as the pass found it.
  EXPECT_EQ(f.planeAt(R, 29, 5), Card(27, 5));
  EXPECT_EQ(f.planeAt(B, 0, 5), Card(1, 5));
  // Undo brings the shifted card back.
  ASSERT_TRUE(UndoLastColourFilter(*f.state, f.host));
  EXPECT_EQ(f.planeAt(R, 10, 10), Card(8, 9));
}

TEST(Chromatism, ZeroShiftsAndTheHeaderBandLeaveThePlanes) {
  ColourFixture f(16, 16);
  f.randomColour(3);
  f.markHeaderBand();
  const auto red = f.planePixels(R);
  ASSERT_TRUE(AdjustChromatism(*f.state, f.host, {}));
  EXPECT_EQ(f.planePixels(R), red);
  ASSERT_TRUE(AdjustChromatism(*f.state, f.host, {.redX = -3, .redY = -3}));
  for (int i = 0; i < 160; ++i) ASSERT_EQ(f.plane(R)[i], red[i]);
  // Row 10 would read row 7, inside the band: it stays after the column pass.
  EXPECT_EQ(f.planeAt(R, 5, 10), red[10 * 16 + 2]);
}

TEST(ColourLowPass, MatchesTheKernelAndKeepsTheBorderInBothBuilds) {
  for (RowLoops loops : kRowLoopBuilds) {
    ColourFixture f(23, 17, loops);
    f.randomColour(7);
    std::vector<std::vector<std::uint16_t>> in{f.planePixels(0), f.planePixels(1), f.planePixels(2)};
    ASSERT_TRUE(LowPassColourFilter(*f.state, f.host));
    static constexpr int k[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
    for (int p = 0; p < 3; ++p) {
      for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 23; ++x) {
          long want = in[p][y * 23 + x];
          if (y >= 1 && y <= 15 && x >= 1 && x <= 21) {
            long s = 0;
            for (int j = -1; j <= 1; ++j)
              for (int i = -1; i <= 1; ++i) s += k[j + 1][i + 1] * in[p][(y + j) * 23 + x + i];
            want = s / 16;
          }
          ASSERT_EQ(f.planeAt(p, x, y), want) << test::RowLoopsName(loops) << " " << x << "," << y;
        }
      }
    }
  }
}

// A run of three saturated pixels: the last one's luminance eases towards
// its dark neighbour (65535 - ((64535 x 3) taken as 16 bits) / 6 = 55113),
// the others stay white and whiten their colour around them.
TEST(ColourOverload, SaturatedRunTurnsWhiteAndTheHistoryNamesIt) {
  ColourFixture f(40, 12);
  f.state->images.colourConverted = 1;
  for (int p = 0; p < 3; ++p) std::fill_n(f.plane(p), 480, std::uint16_t{1000});
  std::fill_n(f.work(), 480, std::uint16_t{1000});
  for (int x = 19; x <= 21; ++x) f.at(x, 6) = 65535;
  f.planeAt(R, 20, 6) = 65535;
  ASSERT_TRUE(ColourOverloadSmoothing(*f.state, f.host));
  EXPECT_EQ(f.historyLine(0), "Colour Overload Filter");
  EXPECT_EQ(f.at(19, 6), 65535);
  EXPECT_EQ(f.at(20, 6), 65535);
  EXPECT_EQ(f.at(21, 6), 55113);
  for (int p = 0; p < 3; ++p) {
    EXPECT_GT(f.planeAt(p, 20, 6), 10000) << p;
    EXPECT_EQ(f.planeAt(p, 5, 2), 1000) << p;
  }
}

TEST(ColourUndo, RefusedOnlyWhenNothingWasKeptForThisImage) {
  ColourFixture f(10, 10);
  f.randomColour(1);
  const auto red = f.planePixels(R);
  EXPECT_FALSE(UndoLastColourFilter(*f.state, f.host));
  EXPECT_EQ(f.lastMessage(), kNothingToUndoColour);
  EXPECT_EQ(f.planePixels(R), red);
  ASSERT_TRUE(LowPassColourFilter(*f.state, f.host));
  ASSERT_TRUE(UndoLastColourFilter(*f.state, f.host));
  EXPECT_EQ(f.planePixels(R), red);
  // A second undo does nothing, silently, even when the planes moved since
  // (a mirror, say).
  const std::size_t boxes = f.host.boxes.size();
  const int rebuilds = f.host.rebuilds;
  f.planeAt(R, 0, 0) ^= 1;
  const auto moved = f.planePixels(R);
  EXPECT_TRUE(UndoLastColourFilter(*f.state, f.host));
  EXPECT_EQ(f.planePixels(R), moved);
  EXPECT_EQ(f.host.boxes.size(), boxes);
  EXPECT_EQ(f.host.rebuilds, rebuilds);
}

TEST(ColourFilters, RefusedOnARawFrame) {
  ColourFixture f(10, 10);
  EXPECT_FALSE(LowPassColourFilter(*f.state, f.host));
  EXPECT_FALSE(ColourOverloadSmoothing(*f.state, f.host));
  EXPECT_FALSE(AdjustChromatism(*f.state, f.host, {.redX = 1}));
  EXPECT_FALSE(UndoLastColourFilter(*f.state, f.host));
  ASSERT_EQ(f.host.boxes.size(), 4u);
  for (const auto& box : f.host.boxes) EXPECT_EQ(box.text, "Image Not Colour Converted");
}

// Planes of a colour cell mode that makes them smaller than the frame: the
// colour commands say so and change nothing.
TEST(ColourFilters, RefusedWhenThePlanesAreNotTheFramesSize) {
  ColourFixture f(12, 10);
  f.randomColour(2);
  f.state->geometry.colourWidth = 6;
  const auto red = f.planePixels(R);
  EXPECT_FALSE(LowPassColourFilter(*f.state, f.host));
  EXPECT_FALSE(AdjustChromatism(*f.state, f.host, {.redX = 1}));
  EXPECT_EQ(f.lastMessage(), kColourFrameSizeRefusal);
  EXPECT_EQ(f.planePixels(R), red);
  f.state->images.colourConverted = 0;
  const auto raw = f.pixels();
  EXPECT_FALSE(SynthesizeColour(*f.state, f.host, nullptr, false));
  EXPECT_EQ(f.lastMessage(), kColourFrameSizeRefusal);
  EXPECT_EQ(f.pixels(), raw);
  EXPECT_EQ(f.state->images.colourConverted, 0);
}

}  // namespace
}  // namespace qv
