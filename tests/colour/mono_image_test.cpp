// Mono images from one filter colour and the single filter image: which
// pixels are kept, what fills the others, and the frame's first and last rows.

#include "colour/mono_image.h"

#include <gtest/gtest.h>

#include "colour_fixture.h"

namespace qv {
namespace {

using test::ColourFixture;

constexpr std::uint16_t kRed = 1000, kGreen = 2000, kBlue = 3000;

// A matrix whose colours sit where the extraction expects them for the two
// offsets: red at odd rows (even with the line offset) and even columns (odd
// with the pixel offset), blue diagonally across from it, green elsewhere.
void FillMatrix(ColourFixture& f, bool line, bool pixel) {
  for (int y = 0; y < f.height(); ++y) {
    for (int x = 0; x < f.width(); ++x) {
      const bool redRow = (y % 2 == 1) != line, redColumn = (x % 2 == 0) != pixel;
      f.at(x, y) = redRow && redColumn ? kRed : (!redRow && !redColumn ? kBlue : kGreen);
    }
  }
}

TEST(MonoExtraction, EveryCellTakesTheChosenColourForEachOffset) {
  for (int line = 0; line < 2; ++line) {
    for (int pixel = 0; pixel < 2; ++pixel) {
      for (auto [colour, value] : {std::pair{MatrixColour::Red, kRed}, std::pair{MatrixColour::Green, kGreen},
                                   std::pair{MatrixColour::Blue, kBlue}}) {
        ColourFixture f(12, 10);
        FillMatrix(f, line, pixel);
        ExtractMonoCells(f.work(), 12, 10, 0, line, pixel, colour);
        // Cells anchored at rows 0 to 6 and columns 1 to 9.
        for (int y = 0; y <= 7; ++y) {
          for (int x = 1; x <= 10; ++x) {
            ASSERT_EQ(f.at(x, y), value) << line << pixel << " colour " << static_cast<int>(colour) << " at " << x
                                         << "," << y;
          }
        }
      }
    }
  }
}

TEST(MonoExtraction, FirstRowReadsOnlyInsideTheFrameAndTheLastRowsStay) {
  ColourFixture f(8, 8);
  f.fillRandom(5);
  const auto raw = f.pixels();
  auto was = [&](int x, int y) { return static_cast<int>(raw[y * 8 + x]); };
  ExtractMonoCells(f.work(), 8, 8, 0, false, false, MatrixColour::Red);
  // Red kept at (odd row, even column). In the first cell row the pixel above
  // would lie outside the frame: the kept pixel stands alone.
  EXPECT_EQ(f.at(1, 0), was(2, 1));
  EXPECT_EQ(f.at(2, 0), was(2, 1));
  EXPECT_EQ(f.at(1, 1), (was(0, 1) + was(2, 1)) / 2);
  // Further down, the means of the two neighbours of that colour.
  EXPECT_EQ(f.at(1, 2), (was(0, 1) + was(2, 3)) / 2);
  EXPECT_EQ(f.at(2, 2), (was(2, 1) + was(2, 3)) / 2);
  // Column 0 and the last two rows of an even-height frame are no cell's.
  for (int y = 0; y < 8; ++y) EXPECT_EQ(f.at(0, y), was(0, y));
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(f.at(x, 6), was(x, 6));
    EXPECT_EQ(f.at(x, 7), was(x, 7));
  }
}

TEST(MonoExtraction, HeaderBandRowsStayAndTheRowAboveTheFirstCellIsNotRead) {
  ColourFixture f(8, 16);
  f.fillRandom(6);
  f.markHeaderBand();
  const auto raw = f.pixels();
  ASSERT_TRUE(ExtractMonoImage(*f.state, f.host, MatrixColour::Red));
  for (int i = 0; i < 80; ++i) EXPECT_EQ(f.work()[i], raw[i]);
  EXPECT_EQ(f.at(1, 10), raw[11 * 8 + 2]);
  EXPECT_EQ(f.pixels(f.state->images.scratchImage), f.pixels());
  EXPECT_EQ(f.state->images.colourConverted, 0);
  EXPECT_EQ(f.host.progressCaptions.front(), "MONOCHROME COLOUR CALCULATION IN PROGRESS");
}

TEST(MonoExtraction, RefusedOnAConvertedImage) {
  ColourFixture f(8, 8);
  f.randomColour(1);
  const auto before = f.pixels();
  EXPECT_FALSE(ExtractMonoImage(*f.state, f.host, MatrixColour::Green));
  EXPECT_EQ(f.lastMessage(), "Already Colour Converted");
  EXPECT_EQ(f.pixels(), before);
}

TEST(SingleFilterImage, TopLeftChoiceSamplesOddRowsAndFillsTheRest) {
  ColourFixture f(6, 7);
  f.fillRandom(8);
  const auto raw = f.pixels();
  auto was = [&](int x, int y) { return static_cast<int>(raw[y * 6 + x]); };
  ASSERT_TRUE(SingleFilterImage(*f.state, f.host, 1));
  EXPECT_EQ(f.state->colour.singleFilterChoice, 1);
  // Row 0 is never rewritten.
  for (int x = 0; x < 6; ++x) EXPECT_EQ(f.at(x, 0), was(x, 0));
  // Sample row 1: kept columns 0, 2, 4; between them the halves of both.
  EXPECT_EQ(f.at(1, 1), was(0, 1) / 2 + was(2, 1) / 2);
  EXPECT_EQ(f.at(3, 1), was(2, 1) / 2 + was(4, 1) / 2);
  // The last column has no right neighbour in its row: the kept pixel.
  EXPECT_EQ(f.at(5, 1), was(4, 1));
  EXPECT_EQ(f.at(5, 3), was(4, 3));
  // Row 2 lies between sample rows 1 and 3.
  for (int x = 0; x < 6; ++x) EXPECT_EQ(f.at(x, 2), f.at(x, 1) / 2 + f.at(x, 3) / 2);
  EXPECT_EQ(f.historyLine(0), "Image Converted to Single Colour");
  EXPECT_EQ(f.pixels(f.state->images.undoImage), raw);
}

TEST(SingleFilterImage, BottomRightChoiceStartsAtRowZeroColumnOne) {
  ColourFixture f(6, 6);
  f.fillRandom(9);
  const auto raw = f.pixels();
  ASSERT_TRUE(SingleFilterImage(*f.state, f.host, 4));
  EXPECT_EQ(f.at(1, 0), raw[1]);
  EXPECT_EQ(f.at(2, 0), raw[1] / 2 + raw[3] / 2);
  EXPECT_EQ(f.at(0, 0), raw[0]);
}

TEST(SingleFilterImage, RefusedOnBinnedSubFrameAndConvertedImages) {
  ColourFixture f(6, 6);
  f.fillRandom(10);
  const auto raw = f.pixels();
  f.state->geometry.binned = 1;
  EXPECT_FALSE(SingleFilterImage(*f.state, f.host, 2));
  EXPECT_EQ(f.lastMessage(), kRawFullFrameOnly);
  f.state->geometry.binned = 0;
  f.state->geometry.sensorWidth = 12;
  f.state->geometry.sensorHeight = 6;
  EXPECT_FALSE(SingleFilterImage(*f.state, f.host, 2));
  f.state->geometry.sensorWidth = 6;
  f.state->images.colourConverted = 1;
  EXPECT_FALSE(SingleFilterImage(*f.state, f.host, 2));
  EXPECT_EQ(f.pixels(), raw);
  EXPECT_EQ(f.state->colour.singleFilterChoice, 1);
  EXPECT_EQ(f.host.boxes.size(), 3u);
}

}  // namespace
}  // namespace qv
