// Display curves and window arithmetic with the program's own numbers.

#include <gtest/gtest.h>

#include "app/display_commands.h"
#include "app/display_palette.h"
#include "app/display_rebuild.h"
#include "display_test_support.h"
#include "support/recording_host.h"

namespace qv {
namespace {

std::array<int, 3> RedGreenBlue(const PaletteBytes& palette, int level) {
  return {palette[level * 4 + 2], palette[level * 4 + 1], palette[level * 4 + 0]};
}

TEST(DisplayCurve, PixelValue300IsDisplayByte1DrawnAsGrey1) {
  test::TempDir root;
  auto state = test::SmallFrameState(root, 4, 1);
  state->images.workImage[0] = 300;
  test::RecordingHost host;
  ASSERT_EQ(RebuildDisplay(*state, host), BitmapWriteResult::Ok);
  EXPECT_EQ(state->images.buffers.displayBytes.data()[0], 1);
  const auto& bitmap = state->display.bitmap;
  EXPECT_EQ(bitmap[1078], 1);
  EXPECT_EQ((std::array<int, 3>{bitmap[54 + 4 + 2], bitmap[54 + 4 + 1], bitmap[54 + 4]}),
            (std::array<int, 3>{1, 1, 1}));
}

TEST(DisplayCurve, AutoContrastCurveAtBlackLevels40And0) {
  const auto at40 = BuildDisplayPalette({.autoContrast = true, .blackLevel = 40});
  for (int level : {0, 20, 40}) EXPECT_EQ(RedGreenBlue(at40, level), (std::array<int, 3>{0, 0, 0})) << level;
  EXPECT_EQ(RedGreenBlue(at40, 41), (std::array<int, 3>{48, 48, 48}));
  EXPECT_EQ(RedGreenBlue(at40, 255), (std::array<int, 3>{242, 242, 242}));
  const auto at0 = BuildDisplayPalette({.autoContrast = true, .blackLevel = 0});
  EXPECT_EQ(RedGreenBlue(at0, 1), (std::array<int, 3>{48, 48, 48}));
  EXPECT_EQ(RedGreenBlue(at0, 128), (std::array<int, 3>{207, 207, 207}));
  EXPECT_EQ(RedGreenBlue(at0, 255), (std::array<int, 3>{255, 255, 255}));
  // A negative black level counts as 0; the stretch alone uses the same curve.
  EXPECT_EQ(BuildDisplayPalette({.autoContrast = true, .blackLevel = -5}), at0);
  EXPECT_EQ(BuildDisplayPalette({.stretchDisplay = true, .blackLevel = 0}), at0);
}

TEST(DisplayCurve, FalseColourLevels) {
  const auto plain = BuildDisplayPalette({.falseColour = true});
  EXPECT_EQ(RedGreenBlue(plain, 100), (std::array<int, 3>{100, 39, 0}));
  EXPECT_EQ(RedGreenBlue(plain, 240), (std::array<int, 3>{240, 225, 0}));
  EXPECT_EQ(RedGreenBlue(plain, 241), (std::array<int, 3>{241, 241, 241}));
  EXPECT_EQ(RedGreenBlue(plain, 255), (std::array<int, 3>{255, 255, 255}));
  // With auto contrast the curve value picks the colour.
  const auto curved = BuildDisplayPalette({.falseColour = true, .autoContrast = true, .blackLevel = 40});
  EXPECT_EQ(RedGreenBlue(curved, 41), (std::array<int, 3>{48, 9, 0}));
  EXPECT_EQ(RedGreenBlue(curved, 255), (std::array<int, 3>{242, 242, 242}));
  EXPECT_EQ(RedGreenBlue(GreyPalette(), 77), (std::array<int, 3>{77, 77, 77}));
}

TEST(DisplayCurve, StretchMovesBytesByTheLowestAndLeavesTheTop) {
  const auto table = BuildDisplayStretchTable(25);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[1], 22);  // 25 / (1 + 24 / 255)
  EXPECT_EQ(table[254], 254);
  for (int i = 1; i < 255; ++i) EXPECT_LE(table[i - 1], table[i]);
  std::vector<std::uint8_t> bytes{0, 5, 6, 252, 253, 255};
  StretchDisplayBytes(bytes.data(), bytes.size(), 25);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0, 0, 22, table[247], 253, 255}));
}

TEST(WindowArithmetic, FitCentreAndScrollRange) {
  EXPECT_EQ(FitPictureSize(1392, 1040, 520), (Size2{696, 520}));
  EXPECT_EQ(CentreMargins(1392, 1040, 1600, 1100), (Size2{104, 30}));
  EXPECT_EQ(CentreMargins(1392, 1040, 1000, 1100), (Size2{0, 30}));
  DisplayState d;
  d.displayWidth = 1392;
  d.displayHeight = 1040;
  EXPECT_EQ(ScrollRange(d, 1000, 800), (Size2{392, 240}));
  d.fitToScreen = true;
  d.fitWidth = 696;
  d.fitHeight = 520;
  EXPECT_EQ(ScrollRange(d, 600, 520), (Size2{96, 0}));
  EXPECT_EQ(ScrollRange(d, 1000, 800), (Size2{0, 0}));
}

TEST(DisplayToggles, FitAndCentreExcludeEachOtherAndWaitForMouseModes) {
  DisplayState d;
  EXPECT_TRUE(ToggleFitToScreen(d));
  EXPECT_TRUE(ToggleCentreImage(d));
  EXPECT_TRUE(d.centreImage);
  EXPECT_FALSE(d.fitToScreen);
  d.mouseModeActive = true;
  EXPECT_FALSE(ToggleFitToScreen(d));
  EXPECT_FALSE(ToggleCentreImage(d));
  EXPECT_TRUE(d.centreImage);
  EXPECT_FALSE(d.fitToScreen);
}

TEST(DisplayToggles, StretchCommandsChangeOnlyWhenNeeded) {
  test::TempDir root;
  auto state = test::SmallFrameState(root, 4, 2);
  test::RecordingHost host;
  EXPECT_FALSE(SetStretchDisplay(*state, host, CommandId::StretchDisplayOff));
  EXPECT_FALSE(state->display.hasBitmap());
  EXPECT_TRUE(SetStretchDisplay(*state, host, CommandId::StretchDisplayOn));
  EXPECT_TRUE(state->display.hasBitmap());
  EXPECT_FALSE(SetStretchDisplay(*state, host, CommandId::StretchDisplayOn));
  EXPECT_TRUE(SetStretchDisplay(*state, host, CommandId::StretchDisplayToggle));
  EXPECT_FALSE(state->display.stretchDisplay);
}

TEST(StretchDialog, ScrollRules) {
  EXPECT_EQ(StretchPowerAfterScroll(25, StretchScroll::LineUp), 24);
  EXPECT_EQ(StretchPowerAfterScroll(25, StretchScroll::LineDown), 26);
  EXPECT_EQ(StretchPowerAfterScroll(2, StretchScroll::LineUp), 2);
  EXPECT_EQ(StretchPowerAfterScroll(50, StretchScroll::LineDown), 50);
  EXPECT_EQ(StretchPowerAfterScroll(25, StretchScroll::PageUp), 2);
  EXPECT_EQ(StretchPowerAfterScroll(25, StretchScroll::PageDown), 50);
  EXPECT_EQ(StretchPowerAfterScroll(25, StretchScroll::Thumb, 37), 37);
  DisplayState d;
  EXPECT_FALSE(SetStretchPower(d, 1));
  EXPECT_FALSE(SetStretchPower(d, 51));
  EXPECT_EQ(d.stretchPower, 25);
  EXPECT_TRUE(SetStretchPower(d, 2));
}

class MirrorFlip : public testing::TestWithParam<bool> {};

TEST_P(MirrorFlip, TwiceGivesTheImageBackAndTheLabelBandStays) {
  const bool withBand = GetParam();
  test::TempDir root;
  auto state = test::SmallFrameState(root, 7, 13);
  auto& images = state->images;
  images.colourConverted = 1;
  for (int i = 0; i < 91; ++i) {
    images.workImage[i] = static_cast<std::uint16_t>(i * 300 + 1);
    for (int p = 0; p < 3; ++p) images.colourPlanes[p][i] = static_cast<std::uint16_t>(i + 1000 * p);
  }
  if (withBand) {
    images.workImage[4] = 30;
    images.workImage[5] = 4;
  }
  const std::vector<std::uint16_t> original(images.workImage, images.workImage + 91);
  const std::vector<std::uint16_t> red(images.colourPlanes[0], images.colourPlanes[0] + 91);
  test::RecordingHost host;
  const int first = withBand ? 10 : 0;

  MirrorImage(*state, host);
  EXPECT_EQ(images.workImage[first * 7], original[first * 7 + 6]);
  EXPECT_EQ(images.colourPlanes[0][first * 7], red[first * 7 + 6]);
  if (withBand) {
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 70, images.workImage));
  }
  MirrorImage(*state, host);
  EXPECT_TRUE(std::equal(original.begin(), original.end(), images.workImage));
  EXPECT_TRUE(std::equal(red.begin(), red.end(), images.colourPlanes[0]));

  FlipImage(*state, host);
  EXPECT_EQ(images.workImage[first * 7 + 2], original[12 * 7 + 2]);
  EXPECT_EQ(images.workImage[12 * 7 + 2], original[first * 7 + 2]);
  EXPECT_EQ(images.colourPlanes[0][12 * 7], red[first * 7]);
  if (withBand) {
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 70, images.workImage));
  }
  FlipImage(*state, host);
  EXPECT_TRUE(std::equal(original.begin(), original.end(), images.workImage));
  EXPECT_TRUE(std::equal(red.begin(), red.end(), images.colourPlanes[0]));
  EXPECT_EQ(host.waitCursorDepth, 0);
  EXPECT_TRUE(state->display.hasBitmap());
}

INSTANTIATE_TEST_SUITE_P(Band, MirrorFlip, testing::Bool());

}  // namespace
}  // namespace qv
