// The image store: start-up picture, undo copies, display bytes, history.

#include "app/image_store.h"

#include <gtest/gtest.h>

#include "app/frame_geometry.h"
#include "app/processing_history.h"
#include "app/program_state.h"
#include "app/undo_commands.h"
#include "camera/camera_models.h"
#include "support/recording_host.h"

namespace qv {
namespace {

class ImageStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RecomputeFrameGeometry(state.geometry, *FindCameraModel(1));
    StartupFill(state.images, state.geometry);
  }
  ProgramState state;
  test::RecordingHost host;
};

TEST_F(ImageStoreTest, BuffersHaveTheirCapacitiesAndStartZero) {
  auto& b = state.images.buffers;
  EXPECT_EQ(b.work.capacity(), 10'000'004u);
  EXPECT_EQ(b.flat.capacity(), 20'000'008u);
  EXPECT_EQ(b.guide.capacity(), 290'160u);
  EXPECT_EQ(b.guideAux.capacity(), 145'080u);
  EXPECT_EQ(b.colourUndo[2].capacity(), 12'000'004u);
  EXPECT_EQ(b.displayBytes.capacity(), 28'000'004u);
  EXPECT_EQ(b.fileBuffers[1].capacity(), 28'000'004u);
  EXPECT_EQ(b.stretchTable.capacity(), 65'536u);
  EXPECT_EQ(b.hotPixelList.capacity(), 100'000u);
  EXPECT_EQ(state.images.displayHistogram.size(), 257u);
  EXPECT_EQ(b.flat[b.flat.capacity() - 1], 0);
  EXPECT_EQ(b.detail[1][12345], 0);
}

TEST_F(ImageStoreTest, StartupFillIsAVerticalRamp) {
  const auto& g = state.geometry;
  const auto& s = state.images;
  for (int y : {0, 1, 500, g.height - 1}) {
    for (int x : {0, 7, g.width - 1}) {
      const std::size_t i = static_cast<std::size_t>(y) * g.width + x;
      const auto expected = static_cast<std::uint16_t>(y * 62);
      EXPECT_EQ(s.workImage[i], expected);
      EXPECT_EQ(s.scratchImage[i], expected);
      EXPECT_EQ(s.undoImage[i], expected);
      EXPECT_EQ(s.colourPlanes[2][i], 0);
    }
  }
  // 1039 * 62 = 64418 fits; a taller frame wraps at 16 bits.
  EXPECT_EQ(s.workImage[static_cast<std::size_t>(1039) * g.width], 64418);
  EXPECT_EQ(s.guideImage[289 * 500 + 499], static_cast<std::uint16_t>(289 * 200));
  EXPECT_EQ(s.guideImage[0], 0);
}

TEST_F(ImageStoreTest, StartupFillWrapsRampAt16Bits) {
  RecomputeFrameGeometry(state.geometry, *FindCameraModel(4));  // 2712 rows
  StartupFill(state.images, state.geometry);
  const std::size_t row2000 = static_cast<std::size_t>(2000) * state.geometry.width;
  EXPECT_EQ(state.images.workImage[row2000], static_cast<std::uint16_t>(2000 * 62));
}

TEST_F(ImageStoreTest, UndoRightAfterStartRestoresTheRamp) {
  auto& s = state.images;
  for (int i = 0; i < state.geometry.pixelCount; ++i) s.workImage[i] = 9;
  UndoLastFilter(state, host);
  EXPECT_EQ(s.workImage[static_cast<std::size_t>(100) * state.geometry.width + 3], 6200);
  EXPECT_EQ(host.rebuilds, 1);
}

TEST_F(ImageStoreTest, UndoCopiesExactlyThePixelCount) {
  auto& s = state.images;
  const int n = state.geometry.pixelCount;
  s.workImage[0] = 1;
  s.workImage[n - 1] = 2;
  s.workImage[n] = 3;
  SaveUndo(s, state.geometry);
  EXPECT_EQ(s.undoImage[0], 1);
  EXPECT_EQ(s.undoImage[n - 1], 2);
  EXPECT_EQ(s.undoImage[n], 0);
}

TEST_F(ImageStoreTest, ColourUndoAndWorkSet) {
  auto& s = state.images;
  s.colourPlanes[ImageStore::kBlue][10] = 500;
  SaveColourUndo(s, state.geometry);
  s.colourPlanes[ImageStore::kBlue][10] = 1;
  CopyColourToWorkSet(s, state.geometry);
  EXPECT_EQ(s.planeWorkSet[ImageStore::kBlue][10], 1);

  EXPECT_FALSE(UndoLastColourFilter(state, host));  // not colour converted
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].number, 69);
  EXPECT_EQ(s.colourPlanes[ImageStore::kBlue][10], 1);

  s.colourConverted = 1;
  EXPECT_TRUE(UndoLastColourFilter(state, host));
  EXPECT_EQ(s.colourPlanes[ImageStore::kBlue][10], 500);
}

TEST_F(ImageStoreTest, PointersAreResetAfterRedirection) {
  auto& s = state.images;
  s.workImage = s.scratchImage;
  s.colourPlanes[0] = s.planeWorkSet[1];
  SaveUndo(s, state.geometry);
  EXPECT_EQ(s.workImage, s.buffers.work.data());
  EXPECT_EQ(s.colourPlanes[0], s.buffers.colourPlanes[0].data());
}

TEST_F(ImageStoreTest, DisplayBytesAreTheHighByte) {
  auto& s = state.images;
  s.workImage[0] = 255;
  s.workImage[1] = 256;
  s.workImage[2] = 65535;
  s.workImage[3] = 0x1234;
  ToDisplayBytes(s, state.geometry);
  EXPECT_EQ(s.buffers.displayBytes[0], 0);
  EXPECT_EQ(s.buffers.displayBytes[1], 1);
  EXPECT_EQ(s.buffers.displayBytes[2], 255);
  EXPECT_EQ(s.buffers.displayBytes[3], 0x12);
}

TEST_F(ImageStoreTest, PreviewConvertsOnlyTheFocusFrame) {
  auto& s = state.images;
  const int n = state.geometry.pixelCount;
  for (int i = 0; i < n; ++i) s.workImage[i] = 0x4000;
  ToDisplayBytes(s, state.geometry);
  for (int i = 0; i < n; ++i) s.workImage[i] = 0x8000;
  for (int* flag : {&s.focusPreview, &s.guideView}) {
    *flag = 1;
    ToDisplayBytes(s, state.geometry);
    EXPECT_EQ(s.buffers.displayBytes[16383], 0x80);
    EXPECT_EQ(s.buffers.displayBytes[16384], 0x40);
    EXPECT_EQ(s.buffers.displayBytes[n - 1], 0x40);
    *flag = 0;
  }
}

TEST(HeaderBand, PixelsFourAndFiveAddingTo34) {
  std::uint16_t image[8] = {0, 0, 0, 0, 17, 17, 0, 0};
  EXPECT_TRUE(HasHeaderBand(image));
  EXPECT_EQ(FirstProcessedRow(image), 10);
  image[5] = 18;
  EXPECT_FALSE(HasHeaderBand(image));
  EXPECT_EQ(FirstProcessedRow(image), 0);
  image[4] = 0;
  image[5] = 34;
  EXPECT_TRUE(HasHeaderBand(image));
  image[4] = 65535;
  image[5] = 35;  // the sum is taken whole, not in 16 bits
  EXPECT_FALSE(HasHeaderBand(image));
}

TEST(History, FifteenLinesThenDropped) {
  ProcessingHistory h;
  for (int i = 0; i < 15; ++i) AddHistoryLine(h, "Line " + std::to_string(i));
  AddHistoryLine(h, "One too many");
  EXPECT_EQ(h.lines[14], "Line 14");
  const std::string listing = HistoryBoxText(h);
  EXPECT_EQ(listing.find("One too many"), std::string::npos);
  EXPECT_EQ(listing.substr(0, 9), "Line 0 \nL");
  // With every line in use, undo empties nothing.
  UndoHistoryLine(h);
  EXPECT_EQ(h.lines[14], "Line 14");
}

TEST(History, UndoEmptiesTheLastUsedLine) {
  ProcessingHistory h;
  AddHistoryLine(h, "Normal Stretch : max 200 , min : 10");
  AddHistoryLine(h, "Unsharp Mask : rad 3 ,power 1");
  UndoHistoryLine(h);
  EXPECT_EQ(h.lines[0], "Normal Stretch : max 200 , min : 10");
  EXPECT_TRUE(h.lines[1].empty());
  EXPECT_EQ(HistoryBoxText(h), "Normal Stretch : max 200 , min : 10 \n");
  // With one line left the first empty line is 1, so line 0 goes.
  UndoHistoryLine(h);
  EXPECT_TRUE(h.lines[0].empty());
  UndoHistoryLine(h);
  EXPECT_EQ(HistoryBoxText(h), "");
}

TEST(History, LinesAreCutTo39Characters) {
  ProcessingHistory h;
  AddHistoryLine(h, std::string(60, 'x'));
  EXPECT_EQ(h.lines[0].size(), 39u);
}

TEST(History, ListingStopsBeforeAShortLine) {
  ProcessingHistory h;
  AddHistoryLine(h, "First");
  AddHistoryLine(h, "X");  // shorter than 2 characters
  AddHistoryLine(h, "Third");
  EXPECT_EQ(HistoryBoxText(h), "First \n");
}

}  // namespace
}  // namespace qv
