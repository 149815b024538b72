// Colour export: the saturation formula, its clamps, the upside-down rows
// and the rows the ten bands leave over.

#include "colour/colour_export.h"

#include <gtest/gtest.h>

#include "app/display_palette.h"
#include "camera/camera_models.h"

namespace qv {
namespace {

class ColourExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.camera.model = *FindCameraModel(1);
    RecomputeFrameGeometry(state.geometry, state.camera.model);
    ResetBufferPointers(state.images);
    state.images.colourConverted = 1;
  }
  void SetPixel(std::size_t i, std::uint16_t lum, std::uint16_t r, std::uint16_t g, std::uint16_t b) {
    state.images.workImage[i] = lum;
    state.images.colourPlanes[ImageStore::kRed][i] = r;
    state.images.colourPlanes[ImageStore::kGreen][i] = g;
    state.images.colourPlanes[ImageStore::kBlue][i] = b;
  }
  // Export index of source pixel (x, y): rows are turned upside down.
  std::size_t Flipped(int x, int y) const {
    return static_cast<std::size_t>(state.geometry.height - 1 - y) * state.geometry.width + x;
  }
  ProgramState state;
};

TEST_F(ColourExportTest, SixteenBitFollowsTheSaturationFormula) {
  state.settings.colourBalanceLevel = 1;  // strength 1
  SetPixel(0, 10000, 500, 500, 500);      // grey keeps 1.2 L
  SetPixel(1, 60000, 9, 9, 9);            // grey above 54,612 saturates
  SetPixel(2, 10000, 800, 0, 0);          // pure red
  SetPixel(3, 65535, 1000, 0, 0);         // saturated luminance stays white
  SetPixel(4, 10000, 0, 0, 0);            // no colour: neutral
  ExportAllColourPlanes(state);
  const auto& out = state.images.planeWorkSet;
  EXPECT_EQ(out[ImageStore::kRed][Flipped(0, 0)], 12000);
  EXPECT_EQ(out[ImageStore::kBlue][Flipped(0, 0)], 12000);
  EXPECT_EQ(out[ImageStore::kGreen][Flipped(1, 0)], 65535);
  EXPECT_EQ(out[ImageStore::kRed][Flipped(2, 0)], 12000);
  EXPECT_EQ(out[ImageStore::kGreen][Flipped(2, 0)], 7000);
  EXPECT_EQ(out[ImageStore::kBlue][Flipped(2, 0)], 7000);
  EXPECT_EQ(out[ImageStore::kGreen][Flipped(3, 0)], 65535);
  EXPECT_EQ(out[ImageStore::kBlue][Flipped(3, 0)], 65535);
  EXPECT_EQ(out[ImageStore::kRed][Flipped(4, 0)], 12000);
}

TEST_F(ColourExportTest, StrongSaturationClampsNegativeChannelsToZero) {
  state.settings.colourBalanceLevel = 9;  // strength 5: (0 - 1) * 2.5 + 1.2 < 0
  SetPixel(0, 20000, 1000, 0, 0);
  ExportAllColourPlanes(state);
  EXPECT_EQ(state.images.planeWorkSet[ImageStore::kGreen][Flipped(0, 0)], 0);
  std::uint8_t* bytes = state.images.buffers.saveImage.data();
  ExportAllColourBytes(state, bytes, 0);
  EXPECT_EQ(bytes[Flipped(0, 0) * 3 + 0], 0);
  EXPECT_EQ(bytes[Flipped(0, 0) * 3 + 1], 0);
  EXPECT_EQ(bytes[Flipped(0, 0) * 3 + 2], 93);  // 1.2 * 20000 / 256
}

TEST_F(ColourExportTest, EightBitBytesAreBlueGreenRedAndSaturateAt65534) {
  state.settings.colourBalanceLevel = 1;
  SetPixel(0, 10000, 800, 0, 0);
  SetPixel(1, 65534, 800, 0, 0);
  SetPixel(2, 54500, 7, 7, 7);  // 1.2 L = 65400: blue clamps at 65280, the others divide to 255
  std::uint8_t* bytes = state.images.buffers.saveImage.data();
  ExportAllColourBytes(state, bytes, 0);
  const std::size_t p = Flipped(0, 0) * 3;
  EXPECT_EQ(bytes[p + 0], 7000 >> 8);
  EXPECT_EQ(bytes[p + 1], 7000 >> 8);
  EXPECT_EQ(bytes[p + 2], 12000 >> 8);
  EXPECT_EQ(bytes[Flipped(1, 0) * 3 + 1], 255);
  EXPECT_EQ(bytes[Flipped(2, 0) * 3 + 0], 255);
  EXPECT_EQ(bytes[Flipped(2, 0) * 3 + 2], 255);
}

TEST_F(ColourExportTest, AutoContrastUsesTheWholeByteRange) {
  state.images.autoContrast = 1;
  SetPixel(0, 65535, 5, 5, 5);
  SetPixel(1, 20 * 256, 5, 5, 5);  // display level 20 at the black level
  SetPixel(2, 0x8000, 5, 5, 5);
  std::uint8_t* bytes = state.images.buffers.saveImage.data();
  ExportAllColourBytes(state, bytes, 20);
  EXPECT_EQ(bytes[Flipped(0, 0) * 3], 248);  // 235^0.3 * 255^0.7, as the display shows it
  EXPECT_EQ(bytes[Flipped(1, 0) * 3], 0);
  const int middle = bytes[Flipped(2, 0) * 3];
  EXPECT_GT(middle, 150);
  EXPECT_LT(middle, 255);
  state.images.colourConverted = 0;  // mono: the curved value in all three bytes
  ExportAllColourBytes(state, bytes, 20);
  EXPECT_EQ(bytes[Flipped(2, 0) * 3 + 1], middle);
}

TEST_F(ColourExportTest, AutoContrastDrawsEveryLevelAsTheDisplayPaletteDoes) {
  state.images.autoContrast = 1;
  state.images.colourConverted = 0;
  std::uint8_t* bytes = state.images.buffers.saveImage.data();
  for (int level = 0; level < 256; ++level) SetPixel(level, static_cast<std::uint16_t>(level * 256 + 255), 0, 0, 0);
  for (int black : {0, 40}) {
    ExportAllColourBytes(state, bytes, black);
    const auto palette = BuildDisplayPalette({.autoContrast = true, .blackLevel = black});
    for (int level = 0; level < 256; ++level) {
      ASSERT_EQ(bytes[Flipped(level, 0) * 3], palette[level * 4]) << "black " << black << " level " << level;
    }
  }
  // Level 255 over black level 0: 255^0.3 * 255^0.7 is 255, not one less.
  ExportAllColourBytes(state, bytes, 0);
  EXPECT_EQ(bytes[Flipped(255, 0) * 3 + 2], 255);
}

TEST_F(ColourExportTest, BandsCoverEveryRowIncludingTheLeftovers) {
  EXPECT_EQ(ExportBandRows(1356, 1).first, 0);
  EXPECT_EQ(ExportBandRows(1356, 1).end, 135);
  EXPECT_EQ(ExportBandRows(1356, 9).end, 1215);
  EXPECT_EQ(ExportBandRows(1356, 10).first, 1215);
  EXPECT_EQ(ExportBandRows(1356, 10).end, 1356);
  SetFrameSize(state.geometry, 10, 1356);
  SetPixel(0, 1000, 1, 1, 1);  // source row 0 lands in export row 1355
  ExportAllColourPlanes(state);
  EXPECT_EQ(state.images.planeWorkSet[ImageStore::kRed][1355 * 10], 1200);
}

}  // namespace
}  // namespace qv
