// Mouse modes: the mapping of a click to the image, its bounds and where it
// goes.

#include "app/mouse_modes.h"

#include <gtest/gtest.h>

#include "camera/camera_models.h"
#include "processing/merge_images.h"
#include "processing/photometry.h"
#include "support/recording_host.h"

namespace qv::test {
namespace {

struct MouseModes : ::testing::Test {
  ProgramState s;
  RecordingHost host;

  void SetUp() override {
    s.camera.model = *FindCameraModel(1);  // 1392 x 1040
    RecomputeFrameGeometry(s.geometry, s.camera.model);
    ResetBufferPointers(s.images);
  }
  void Bin() {
    s.geometry.binned = 1;
    RecomputeFrameGeometry(s.geometry, s.camera.model);
  }
  // A round star of peak 30000 on a black sky, centred on (x, y).
  void Star(int x, int y) {
    for (int dy = -2; dy <= 2; ++dy) {
      for (int dx = -2; dx <= 2; ++dx) {
        const int d2 = dx * dx + dy * dy;
        s.images.workImage[(y + dy) * 1392 + (x + dx)] = static_cast<std::uint16_t>(30000 / (1 + d2));
      }
    }
  }
  int LastNumber() const { return host.boxes.empty() ? -1 : host.boxes.back().number; }
  std::string LastText() const { return host.boxes.empty() ? "" : host.boxes.back().text; }
};

TEST_F(MouseModes, PhotometryBoundsInImageCoordinates) {
  ASSERT_TRUE(StartPhotometry(s, host));
  EXPECT_EQ(ShownPointer(s), PointerShape::Cross);
  s.analysis.photometry.radius = 8;
  EXPECT_EQ(OnLeftClick(s, host, 7, 100), ClickResult::Refused);
  EXPECT_EQ(LastNumber(), 2);
  EXPECT_TRUE(s.analysis.photometry.open);  // the mode stays
  EXPECT_EQ(OnLeftClick(s, host, 8, 100), ClickResult::Taken);
  EXPECT_EQ(s.analysis.photometry.object.x, 8);
  EXPECT_EQ(OnLeftClick(s, host, 1391 - 8, 1039 - 8), ClickResult::Taken);
  EXPECT_EQ(OnLeftClick(s, host, 1391 - 7, 100), ClickResult::Refused);
  EXPECT_EQ(OnLeftClick(s, host, 100, 1039 - 7), ClickResult::Refused);

  // Scrolled: the client position plus the scroll is what counts, so a click
  // near the client's left edge is fine and one whose box reaches past the
  // row end is refused.
  s.display.scrollX = 100;
  s.display.scrollY = 50;
  EXPECT_EQ(OnLeftClick(s, host, 0, 0), ClickResult::Taken);
  EXPECT_EQ(s.analysis.photometry.object.x, 100);
  EXPECT_EQ(s.analysis.photometry.object.y, 50);
  EXPECT_EQ(OnLeftClick(s, host, 1391 - 8 - 100 + 1, 10), ClickResult::Refused);

  // Binned, the binned frame's size bounds the click.
  Bin();
  s.display.scrollX = s.display.scrollY = 0;
  EXPECT_EQ(OnLeftClick(s, host, 695 - 8, 100), ClickResult::Taken);
  EXPECT_EQ(OnLeftClick(s, host, 695 - 7, 100), ClickResult::Refused);
}

TEST_F(MouseModes, PhotometryRefusalsAndTheRightButton) {
  s.processing.merge.mergeMode = 1;
  EXPECT_FALSE(StartPhotometry(s, host));
  EXPECT_EQ(LastNumber(), 35);
  s.processing.merge.mergeMode = 0;
  s.display.centreImage = true;
  EXPECT_FALSE(StartPhotometry(s, host));
  EXPECT_EQ(LastNumber(), 36);
  s.display.centreImage = false;
  ASSERT_TRUE(StartPhotometry(s, host));
  EXPECT_FALSE(StartPhotometry(s, host));
  EXPECT_EQ(LastNumber(), 37);
  EXPECT_EQ(s.analysis.photometry.radius, 4);

  ChoosePhotometryMeasure(s.analysis.photometry, 'b');
  Star(302, 199);
  EXPECT_EQ(OnRightClick(s, host, 300, 200), ClickResult::Taken);
  EXPECT_EQ(s.mouse.centroidX, 302);  // centred on the star first
  EXPECT_EQ(s.analysis.photometry.background.x, 302);
  EXPECT_EQ(s.analysis.photometry.background.y, 199);
  EXPECT_EQ(s.mouse.starBoxActive, 0);
  EXPECT_EQ(s.analysis.photometry.object.x, 0);
}

TEST_F(MouseModes, StarPickingTakesTheStarInsideItsMargin) {
  s.display.fitToScreen = true;
  EXPECT_FALSE(TogglePickGuideStar(s, host));
  EXPECT_EQ(LastNumber(), 33);
  s.display.fitToScreen = false;
  ASSERT_TRUE(TogglePickGuideStar(s, host));
  EXPECT_EQ(s.mouse.boxRadius, 8);
  EXPECT_EQ(s.mouse.starBoxActive, 1);
  EXPECT_TRUE(s.display.starPickingActive);

  EXPECT_EQ(OnLeftClick(s, host, 32, 500), ClickResult::Refused);  // 25 + 8 is the first
  EXPECT_EQ(OnLeftClick(s, host, 500, 32), ClickResult::Refused);
  // Right and below, the pick goes on while the star box fits the image.
  EXPECT_EQ(OnLeftClick(s, host, 1391 - 8, 500), ClickResult::Taken);
  EXPECT_EQ(OnLeftClick(s, host, 1391 - 7, 500), ClickResult::Refused);
  EXPECT_EQ(OnLeftClick(s, host, 500, 1039 - 8), ClickResult::Taken);
  EXPECT_EQ(OnLeftClick(s, host, 500, 1039 - 7), ClickResult::Refused);
  s.display.scrollX = 100;
  EXPECT_EQ(OnLeftClick(s, host, 1391 - 8 - 100, 500), ClickResult::Taken);
  EXPECT_EQ(OnLeftClick(s, host, 1391 - 7 - 100, 500), ClickResult::Refused);
  // Two stars; a click near each is centred on it by the star centre finder.
  Star(103, 118);
  Star(212, 123);
  s.display.scrollX = 10;
  s.display.scrollY = 20;
  ASSERT_EQ(OnLeftClick(s, host, 90, 100), ClickResult::Taken);
  EXPECT_EQ(s.guiding.guideStar.x, 103);
  EXPECT_EQ(s.guiding.guideStar.y, 118);
  EXPECT_TRUE(s.guiding.guideStarChosen);
  EXPECT_TRUE(s.display.overlays.starChosen);
  EXPECT_EQ(LastText(), "x position =   103\ny position =   118");
  EXPECT_EQ(s.mouse.starPickMode, 1);  // picking goes on
  ASSERT_EQ(OnLeftClick(s, host, 200, 100), ClickResult::Taken);
  EXPECT_EQ(s.guiding.guideStar.x, 212);  // a second pick is centred too
  EXPECT_EQ(s.guiding.guideStar.y, 123);

  ASSERT_TRUE(TogglePickGuideStar(s, host));
  EXPECT_EQ(s.mouse.starPickMode, 0);
  EXPECT_EQ(OnLeftClick(s, host, 200, 100), ClickResult::Ignored);
}

TEST_F(MouseModes, FocusPickClampsToTheSensor) {
  StartFocusFramePick(s);
  ASSERT_EQ(OnLeftClick(s, host, 10, 500), ClickResult::Taken);
  EXPECT_EQ(s.mouse.focusOriginX, 3);
  EXPECT_EQ(s.mouse.focusOriginY, 500 - 64 - 1);
  EXPECT_EQ(s.mouse.focusPickMode, 0);
  EXPECT_EQ(LastText(), "x position =    67\ny position =   499\nleft =     0\ntop =     0");
  EXPECT_EQ(s.camera.focusCentreX, 67);

  StartFocusFramePick(s);
  ASSERT_EQ(OnLeftClick(s, host, 700, 64), ClickResult::Taken);
  EXPECT_EQ(s.mouse.focusOriginX, 700 - 65);
  EXPECT_EQ(s.mouse.focusOriginY, 1);  // below 64 + 1

  // At the right edge the 128-pixel box stays on the sensor.
  StartFocusFramePick(s);
  ASSERT_EQ(OnLeftClick(s, host, 1380, 1030), ClickResult::Taken);
  EXPECT_EQ(s.mouse.focusOriginX, 1392 - 128);
  EXPECT_EQ(s.mouse.focusOriginY, 1040 - 128);

  // Binned, positions are doubled onto the sensor and capped there too.
  Bin();
  StartFocusFramePick(s);
  ASSERT_EQ(OnLeftClick(s, host, 680, 200), ClickResult::Taken);
  EXPECT_EQ(s.mouse.focusOriginX, 1392 - 64);
  EXPECT_EQ(s.mouse.focusOriginY, 200 * 2 - 32 - 1);

  DefaultFocusFrameCentre(s);
  EXPECT_EQ(s.mouse.focusOriginX, 696 / 2 - 32);
}

TEST_F(MouseModes, SubFramePickForEachSize) {
  // Half frame, unbinned: the rectangle 325 each side must fit, the centre
  // is held within (650 + 4) / 2 and 1392 - (650 + 2) / 2.
  SetSubFrameSize(s, kSubFrameHalf);
  EXPECT_EQ(SubFrameSizeButton(s.camera.focusWindowMode), 210);
  StartSubFramePick(s);
  EXPECT_EQ(OnLeftClick(s, host, 326, 520), ClickResult::Ignored);
  EXPECT_EQ(s.mouse.subFramePickMode, 1);
  ASSERT_EQ(OnLeftClick(s, host, 327, 520), ClickResult::Taken);
  EXPECT_EQ(s.camera.subFrameCentreX, 327);
  EXPECT_EQ(s.camera.subFrameCentreY, 520);
  EXPECT_EQ(s.mouse.subFramePickMode, 0);
  EXPECT_EQ(LastText(), "x position =   327\ny position =   520");

  // Third frame, 433 x 343.
  SetSubFrameSize(s, kSubFrameThird);
  EXPECT_EQ(SubFrameSizeButton(s.camera.focusWindowMode), 211);
  StartSubFramePick(s);
  EXPECT_EQ(OnLeftClick(s, host, 1392 - 1 - 216 + 1, 520), ClickResult::Ignored);
  ASSERT_EQ(OnLeftClick(s, host, 1392 - 1 - 216, 1039 - 171), ClickResult::Taken);
  EXPECT_EQ(s.camera.subFrameCentreX, 1392 - (433 + 2) / 2);  // held at 1175
  EXPECT_EQ(s.camera.subFrameCentreY, 1040 - (343 + 2) / 2);  // held at 868

  // Quarter frame, 325 x 258 (the label says 257), binned: a quarter each
  // side, held within (325 + 4) / 4 and 696 - (325 + 2) / 4, then doubled.
  SetSubFrameSize(s, kSubFrameQuarter);
  EXPECT_EQ(s.camera.subFrameHeight, 258);
  EXPECT_EQ(SubFrameSizeButton(9), 212);
  Bin();
  StartSubFramePick(s);
  OnPointerMove(s, host, 100, 100);
  EXPECT_TRUE(s.display.overlays.subFrameShown);
  EXPECT_EQ(s.display.overlays.subFrameLeft, 100 - 81);
  EXPECT_EQ(s.display.overlays.subFrameBottom, 100 + 64);
  ASSERT_EQ(OnLeftClick(s, host, 83, 66), ClickResult::Taken);
  EXPECT_EQ(s.camera.subFrameCentreX, 2 * 83);
  EXPECT_EQ(s.camera.subFrameCentreY, 2 * 66);
  EXPECT_FALSE(s.display.overlays.subFrameShown);

  DefaultSubFrameCentre(s);
  EXPECT_EQ(s.camera.subFrameCentreX, 348);
}

TEST_F(MouseModes, MergeClicksMarkTheImageShown) {
  ASSERT_TRUE(StartMerge(s, host));
  s.display.scrollX = 5;
  ASSERT_EQ(OnLeftClick(s, host, 40, 50), ClickResult::Taken);
  EXPECT_EQ(s.processing.merge.baseX, 45);  // no centring asked for
  EXPECT_EQ(s.processing.merge.baseY, 50);
  // With centring, both marks land on the star near the clicks.
  SetMergeCentre(s, true);
  Star(47, 49);
  ASSERT_EQ(OnLeftClick(s, host, 40, 50), ClickResult::Taken);
  EXPECT_EQ(s.processing.merge.baseX, 47);
  MergeSecondImageOpened(s, true);
  ASSERT_EQ(OnLeftClick(s, host, 41, 52), ClickResult::Taken);
  EXPECT_EQ(s.processing.merge.mergeX, 47);
  EXPECT_EQ(s.processing.merge.mergeY, 49);
  EXPECT_EQ(s.processing.merge.baseY, 49);
}

TEST_F(MouseModes, PointerValuesOnlyInsideTheImage) {
  s.analysis.values.open = true;
  s.images.colourConverted = 1;
  s.images.workImage[20 * 1392 + 30] = 1234;
  s.images.colourPlanes[ImageStore::kBlue][20 * 1392 + 30] = 77;
  OnPointerMove(s, host, 30, 20);
  EXPECT_EQ(s.analysis.values.values.luminance, 1234);
  EXPECT_EQ(s.analysis.values.values.blue, 77);
  s.display.scrollX = 1391 - 30;
  OnPointerMove(s, host, 30, 20);  // image x 1391: the last column is outside
  EXPECT_EQ(s.analysis.values.values.x, 30);
}

}  // namespace
}  // namespace qv::test
