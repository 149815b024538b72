// Colour histograms, their peaks and their picture in the balance dialog,
// the colour starting balance with its table and start values, and the
// histogram balance.

#include "colour/colour_balance.h"

#include <gtest/gtest.h>

#include "colour/balance_picture.h"
#include "colour_fixture.h"

namespace qv {
namespace {

using test::ColourFixture;
constexpr int R = ImageStore::kRed, B = ImageStore::kBlue, G = ImageStore::kGreen;

TEST(ColourHistogram, CountsIn32BitsAndFindsTheFirstBinOverFourThousand) {
  ColourFixture f(400, 300);
  f.state->images.colourConverted = 1;
  std::fill_n(f.plane(R), 120000, std::uint16_t{512 * 20});  // all 120,000 in bin 20: more than 16 bits hold
  for (int i = 0; i < 120000; ++i) f.plane(G)[i] = static_cast<std::uint16_t>(i < 4001 ? 512 * 3 : 512 * 9 + 7);
  std::fill_n(f.plane(B), 120000, std::uint16_t{100});  // only bin 0, which never peaks
  ComputeColourHistograms(*f.state);
  EXPECT_EQ(f.state->colour.histograms[R][20], 120000u);
  EXPECT_EQ(f.state->colour.peaks[R], 20);
  EXPECT_EQ(f.state->colour.peaks[G], 3);
  EXPECT_EQ(f.state->colour.peaks[B], 1);

  // The dialog's picture: red, green, blue from the left; bars over 210 are
  // cut and marked, a marker over the bin each minimum and maximum starts.
  std::array<ColourBalance, 3> values{};
  values[R] = {.minimum = -10, .maximum = 40};
  values[B] = {.minimum = 21, .maximum = 255};
  const BalancePicture picture = BuildBalancePicture(f.state->colour, values);
  EXPECT_EQ(picture.bars[0][20].height, 210);
  EXPECT_TRUE(picture.bars[0][20].clipped);
  EXPECT_EQ(picture.bars[1][3].height, 210);  // 4001 / 15 = 266
  EXPECT_EQ(picture.bars[2][0].height, 210);  // blue's bin 0
  EXPECT_FALSE(picture.bars[0][21].clipped);
  EXPECT_EQ(picture.markers[0].x, 8);       // red minimum, held at the first bin
  EXPECT_EQ(picture.markers[1].x, 8 + 20);  // red maximum 40
  EXPECT_EQ(picture.markers[2].x, 158);     // green at its defaults
  EXPECT_EQ(picture.markers[3].x, 158 + 127);
  EXPECT_EQ(picture.markers[4].x, 308 + 10);  // blue minimum 21
  EXPECT_TRUE(picture.markers[5].maximum);
}

TEST(ColourBalance, MaximumOf254SendsValuesFrom65024ToWhite) {
  std::vector<std::uint16_t> table(65536);
  FillBalanceTable(table.data(), 0, 254);
  EXPECT_EQ(table[65024], 65535);
  EXPECT_EQ(table[65535], 65535);
  EXPECT_EQ(table[65023], static_cast<std::uint16_t>(65023LL * 65535 / 65024));
  EXPECT_EQ(table[30000], static_cast<std::uint16_t>(30000LL * 65535 / 65024));
  EXPECT_EQ(table[0], 0);
  FillBalanceTable(table.data(), 10, 200);
  EXPECT_EQ(table[2559], 0);
  EXPECT_EQ(table[2560], 0);
  EXPECT_EQ(table[20000], static_cast<std::uint16_t>((20000LL - 2560) * 65535 / (51200 - 2560)));
  EXPECT_EQ(table[51200], 65535);
}

TEST(ColourBalance, StartValuesLowerOrRaiseEveryPixelButWhite) {
  std::vector<std::uint16_t> table(65536);
  std::vector<std::uint16_t> plane{0, 100, 2560, 40000, 65534, 65535};
  BalancePlane(plane.data(), plane.size(), {.start = 10}, table.data());
  EXPECT_EQ(plane, (std::vector<std::uint16_t>{0, 0, 0, 37440, 62974, 65535}));
  plane = {0, 100, 63000, 65535};
  BalancePlane(plane.data(), plane.size(), {.start = -4}, table.data());
  EXPECT_EQ(plane, (std::vector<std::uint16_t>{1024, 1124, 64024, 65535}));
  // A negative minimum raises pixels below 62720, then maps with minimum 0.
  plane = {0, 62719, 62720};
  BalancePlane(plane.data(), plane.size(), {.minimum = -2, .maximum = 255}, table.data());
  EXPECT_EQ(plane[0], static_cast<std::uint16_t>(512LL * 65535 / 65280));
  EXPECT_EQ(plane[1], static_cast<std::uint16_t>((62719LL + 512) * 65535 / 65280));
  EXPECT_EQ(plane[2], static_cast<std::uint16_t>(62720LL * 65535 / 65280));
}

TEST(ColourBalance, CommandAppliesEachColourAndKeepsTheUndo) {
  ColourFixture f(20, 10);
  f.randomColour(4);
  const auto red = f.planePixels(R), green = f.planePixels(G), blue = f.planePixels(B);
  std::array<ColourBalance, 3> values{};
  values[R].maximum = 254;
  values[B].start = -1;
  ASSERT_TRUE(ApplyColourBalance(*f.state, f.host, values, f.state->settings.colourBalanceLevel));
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(f.plane(R)[i], red[i] >= 65024 ? 65535 : static_cast<std::uint16_t>(red[i] * 65535LL / 65024));
    EXPECT_EQ(f.plane(B)[i], blue[i] == 65535 ? 65535 : std::min(blue[i] + 256, 65535));
    // Green: the default maximum 255 still maps through the table.
    EXPECT_EQ(f.plane(G)[i], green[i] >= 65280 ? 65535 : static_cast<std::uint16_t>(green[i] * 65535LL / 65280));
  }
  EXPECT_EQ(std::vector<std::uint16_t>(f.state->images.buffers.colourUndo[R].data(),
                                       f.state->images.buffers.colourUndo[R].data() + 200),
            red);
  EXPECT_EQ(f.host.progressCaptions.front(), "COLOUR BALANCE IN PROGRESS");
}

TEST(ColourBalance, DefaultsAndUnchangedSaturationDoNothing) {
  ColourFixture f(20, 10);
  f.randomColour(5);
  const auto red = f.planePixels(R);
  ASSERT_TRUE(ApplyColourBalance(*f.state, f.host, {}, f.state->settings.colourBalanceLevel));
  EXPECT_EQ(f.planePixels(R), red);
  EXPECT_TRUE(f.host.progressCaptions.empty());
  // A new saturation alone is stored.
  ASSERT_TRUE(ApplyColourBalance(*f.state, f.host, {}, 7));
  EXPECT_EQ(f.state->settings.colourBalanceLevel, 7);
}

TEST(ColourBalance, RefusedOnARawFrame) {
  ColourFixture f(20, 10);
  std::array<ColourBalance, 3> values{};
  values[R].start = 3;
  EXPECT_FALSE(ApplyColourBalance(*f.state, f.host, values, 3));
  EXPECT_EQ(f.lastMessage(), "Image Not Colour Converted");
}

TEST(HistogramBalance, RaisesTheColourFurthestBelowAndTiesGoToBlue) {
  auto shifts = [](int r, int b, int g) {
    std::array<int, 3> peaks{};
    peaks[R] = r, peaks[B] = b, peaks[G] = g;
    return HistogramBalanceShifts(peaks);
  };
  HistogramShifts s = shifts(5, 10, 10);
  EXPECT_EQ(s.changedPlane, R);
  EXPECT_EQ(s.shift[R], 1536);
  s = shifts(10, 10, 7);
  EXPECT_EQ(s.changedPlane, G);
  EXPECT_EQ(s.shift[G], 921);  // 3 x 307.2 truncated
  s = shifts(5, 10, 5);        // red and green tie: blue, whose shift is 0
  EXPECT_EQ(s.changedPlane, B);
  EXPECT_EQ(s.shift[B], 0);
  s = shifts(9, 9, 9);
  EXPECT_EQ(s.changedPlane, B);
  EXPECT_EQ(s.shift[B], 0);
}

TEST(HistogramBalance, CommandRaisesThePlaneBelowWhite) {
  ColourFixture f(100, 100);
  f.state->images.colourConverted = 1;
  std::fill_n(f.plane(R), 10000, std::uint16_t{512 * 4});
  std::fill_n(f.plane(G), 10000, std::uint16_t{512 * 6});
  std::fill_n(f.plane(B), 10000, std::uint16_t{512 * 6});
  f.plane(R)[0] = 65000;
  ASSERT_TRUE(BalanceColourHistogram(*f.state, f.host));
  const int shift = static_cast<int>(2 * 307.2);
  EXPECT_EQ(f.plane(R)[1], 512 * 4 + shift);
  EXPECT_EQ(f.plane(R)[0], 65000);  // not below 65535 - shift
  EXPECT_EQ(f.plane(G)[1], 512 * 6);
  EXPECT_EQ(f.state->images.buffers.colourUndo[R][1], 512 * 4);
}

}  // namespace
}  // namespace qv
