// Frame geometry and file lengths of every camera model.

#include "app/frame_geometry.h"

#include <gtest/gtest.h>

#include "camera/camera_models.h"

namespace qv {
namespace {

TEST(FrameGeometry, K1CUnbinned) {
  FrameGeometry g;
  RecomputeFrameGeometry(g, *FindCameraModel(1));
  EXPECT_EQ(g.width, 1392);
  EXPECT_EQ(g.height, 1040);
  EXPECT_EQ(g.pixelCount, 1'447'680);
  EXPECT_EQ(g.widthTimes10, 13920);
  EXPECT_EQ(g.widthMinus1, 1391);
  EXPECT_EQ(g.heightMinus1, 1039);
  EXPECT_EQ(g.rowBytes, 2784);
  EXPECT_EQ(g.widthFifth, 278);
  EXPECT_EQ(g.innerBlocks, (1'447'680 - 13920) / 16);
  EXPECT_EQ(g.focusFrameSizeX, 64);
  EXPECT_DOUBLE_EQ(g.pixelSizeX, 0.00645);
  EXPECT_EQ(g.colourWidth, 1392);
  EXPECT_EQ(g.rawFileLength, 2'895'370);
  EXPECT_EQ(g.fitsFileLength, 2'901'120);
  EXPECT_EQ(g.colourRawFileLength, 1392 * 1040 * 8 + 10);
  EXPECT_EQ(g.binnedRawFileLength, 1392 * 1040 / 2 + 10);
  EXPECT_EQ(g.colourFitsFileLength, 1392 * 1040 * 8 + 5760);
  EXPECT_EQ(g.binnedFitsFileLength, 1392 * 1040 / 2 + 5760);
  // 2,895,360 data bytes end 960 bytes into a block: 1920 close it.
  EXPECT_EQ(g.fitsPadding, 1920);
  EXPECT_EQ(g.fileBlockCount, 8);
  EXPECT_EQ(g.fileBlockLength, 1'447'680 / 8);
  EXPECT_EQ(g.bitmapName, "c:\\Autosave\\Qel_K1C.bmp");
  EXPECT_EQ(g.hotPixelMapName, "Qel_K1C_HPM");
  EXPECT_EQ(g.displayWidth, 1392);
}

TEST(FrameGeometry, BinnedHalvesTheFrameAndDoublesThePixel) {
  FrameGeometry g;
  g.binned = 1;
  RecomputeFrameGeometry(g, *FindCameraModel(4));
  EXPECT_EQ(g.width, 1694);
  EXPECT_EQ(g.height, 1356);
  EXPECT_EQ(g.focusFrameSizeX, 32);
  EXPECT_DOUBLE_EQ(g.pixelSizeX, 0.00738);
  // File lengths stay those of the full sensor.
  EXPECT_EQ(g.rawFileLength, 3388 * 2712 * 2 + 10);
}

TEST(FrameGeometry, LargestModelFitsTheBuffers) {
  FrameGeometry g;
  RecomputeFrameGeometry(g, *FindCameraModel(4));
  EXPECT_EQ(g.pixelCount, 9'188'256);
  EXPECT_EQ(g.pixelCount * 2, 18'376'512);
  EXPECT_LE(g.pixelCount, 10'000'004);
}

TEST(FrameGeometry, ColourCellModes) {
  FrameGeometry g;
  g.colourCellMode = kColourCellThird;
  RecomputeFrameGeometry(g, *FindCameraModel(1));
  EXPECT_EQ(g.colourWidth, 464);
  EXPECT_EQ(g.colourHeight, 346);
  EXPECT_DOUBLE_EQ(g.colourPixelSizeX, 0.00645 * 1.5);
  g.colourCellMode = kColourCellHalf;
  g.binned = 1;
  RecomputeFrameGeometry(g, *FindCameraModel(1));
  EXPECT_EQ(g.colourWidth, 348);
  EXPECT_EQ(g.colourHeight, 260);
  EXPECT_DOUBLE_EQ(g.colourPixelSizeY, 0.0129 * 2);
}

TEST(FrameGeometry, HalfSizeDisplayAndOddSizes) {
  FrameGeometry g;
  g.halfSizeDisplay = 1;
  SetFrameSize(g, 101, 77);
  EXPECT_EQ(g.displayWidth, 50);
  EXPECT_EQ(g.displayHeight, 38);
  EXPECT_EQ(g.widthFifth, 20);
}

TEST(FrameGeometry, FitsPaddingAddsAWholeBlockToAnExactMultiple) {
  EXPECT_EQ(FitsPadding(2880), 2880);
  EXPECT_EQ(FitsPadding(2881), 2879);
  EXPECT_EQ(FitsPadding(1), 2879);
}

TEST(CameraModels, TableValues) {
  const auto k1 = *FindCameraModel(1);
  const auto k5 = *FindCameraModel(5);
  // K1C and K5C differ only in their names.
  EXPECT_EQ(k1.sensorWidth, k5.sensorWidth);
  EXPECT_EQ(k1.sensorHeight, k5.sensorHeight);
  EXPECT_EQ(k1.pixelSizeXMm, k5.pixelSizeXMm);
  EXPECT_EQ(k1.fileBlockCount, k5.fileBlockCount);
  EXPECT_EQ(k1.readoutTexts, k5.readoutTexts);
  EXPECT_NE(k1.bitmapName, k5.bitmapName);

  const auto k7 = *FindCameraModel(7);
  EXPECT_EQ(k7.sensorWidth, 1304);
  EXPECT_EQ(k7.readoutTexts[1], " - takes < 1 second");
  EXPECT_EQ(k7.hotPixelMapName, "Qel_K7C_HPM");
  EXPECT_EQ(k7.guideBitmapName, "c:\\Autosave\\Qel_K7g.bmp");

  EXPECT_FALSE(FindCameraModel(6));
  EXPECT_FALSE(FindCameraModel(0));
  EXPECT_EQ(BuiltInCameraModel().sensorWidth, 2048);
  EXPECT_EQ(BuiltInCameraModel().bitmapName, "c:\\Autosave\\Qel_K6.bmp");
  EXPECT_EQ(BuiltInCameraModel().hotPixelMapName, "Vesk_HPM");
  EXPECT_EQ(FindCameraModelByName("K3C")->code, 3);
  EXPECT_FALSE(FindCameraModelByName("K6"));
}

}  // namespace
}  // namespace qv
