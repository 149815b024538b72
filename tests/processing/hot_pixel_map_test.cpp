// Hot pixel maps: the scan, the file, loading it back and applying it.

#include "processing/hot_pixel_map.h"

#include <gtest/gtest.h>

#include "app/undo_commands.h"
#include "files/image_loader.h"
#include "processing/calibration_fixture.h"

namespace qv::test {
namespace {

using HotPixels = CalibrationTest;

TEST_F(HotPixels, ScanSaveLoadRoundTrip) {
  SetWork(Frame(100));
  const int w = state.geometry.width;
  const int h = state.geometry.height;
  std::vector<std::int32_t> expected;
  for (int i = 0; i < 12; ++i) {
    const int at = (20 + i * 50) * w + 30 + i * 7;
    state.images.workImage[at] = static_cast<std::uint16_t>(60'000 + i);
    expected.push_back(at);
  }
  // The border is never listed: 5 rows at the top, 4 at the bottom, 5 columns each side.
  At(4, 100) = At(w - 5, 100) = At(100, 4) = At(100, h - 4) = 65'535;
  At(100, 3) = 59'999;  // below the threshold
  state.processing.hotPixelThreshold = 60'000;
  ASSERT_TRUE(FindHotPixels(state, host, state.images.workImage));
  ASSERT_EQ(state.files.hotPixelCount, 12);
  EXPECT_EQ(state.files.hotPixelMapValid, 1);

  std::filesystem::create_directories(dir.path() / "autosave");
  const std::string path = HotPixelMapPath(state);
  EXPECT_EQ(path, file("autosave/Qel_K1C_HPM.HPM"));
  ASSERT_TRUE(SaveHotPixelMap(state, host, path));
  const std::vector<unsigned char> bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 67u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 15), "VeskHotPixelMap");
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));

  state.files.hotPixelCount = 0;
  state.files.hotPixelMapValid = 0;
  EXPECT_EQ(LoadImageFile(state, host, path), LoadResult::HotPixelMap);
  ASSERT_EQ(state.files.hotPixelCount, 12);
  EXPECT_EQ(std::vector<std::int32_t>(state.images.buffers.hotPixelList.data(),
                                      state.images.buffers.hotPixelList.data() + 12),
            expected);
}

TEST_F(HotPixels, AboveALabelBandTheScanStartsAtRow15) {
  SetWork(Frame(100));
  At(4, 0) = 20;
  At(5, 0) = 14;
  At(50, 14) = At(50, 15) = 65'535;
  ASSERT_TRUE(FindHotPixels(state, host, state.images.workImage));
  ASSERT_EQ(state.files.hotPixelCount, 1);
  EXPECT_EQ(state.images.buffers.hotPixelList[0], 15 * state.geometry.width + 50);
}

TEST_F(HotPixels, AnOverflowingScanLeavesNoValidMap) {
  state.files.hotPixelMapValid = 1;  // an earlier map
  SetWork(Frame(6'000));
  state.processing.hotPixelThreshold = 5'000;
  EXPECT_FALSE(FindHotPixels(state, host, state.images.workImage));
  EXPECT_EQ(state.files.hotPixelCount, 99'001);
  EXPECT_EQ(state.files.hotPixelMapValid, 0);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Too many hot pixels found - ensure you have a darkframe loaded.");
  EXPECT_FALSE(ApplyHotPixelMap(state, host));
  EXPECT_EQ(host.boxes.back().text, "Sorry, you haven't loaded a hot pixel map");
}

TEST_F(HotPixels, ApplyAveragesInListOrderAndSkipsPositionsOffTheFrame) {
  const int w = state.geometry.width;
  FillPattern();
  At(10, 10) = 4;
  At(9, 10) = 8;
  At(11, 10) = 12;
  At(10, 9) = 16;
  At(10, 11) = 21;
  At(11, 9) = 100;
  At(12, 10) = 200;
  At(11, 11) = 300;
  std::int32_t* list = state.images.buffers.hotPixelList.data();
  list[0] = 10 * w + 10;                    // (8 + 12 + 16 + 21) / 4 = 14
  list[1] = 10 * w + 11;                    // uses the new 14: (14 + 200 + 100 + 300) / 4 = 153
  list[2] = -5;                             // off the frame
  list[3] = 3;                              // first row: no pixel above
  list[4] = state.geometry.pixelCount - 2;  // last row: no pixel below
  list[5] = 20 * w;                         // column 0: its left neighbour is on another row
  state.files.hotPixelCount = 6;
  state.files.hotPixelMapValid = 1;
  const std::vector<std::uint16_t> before = WorkCopy();
  ASSERT_TRUE(ApplyHotPixelMap(state, host));
  EXPECT_EQ(At(10, 10), 14);
  EXPECT_EQ(At(11, 10), 153);
  std::vector<std::uint16_t> after = WorkCopy();
  after[static_cast<std::size_t>(10 * w + 10)] = before[static_cast<std::size_t>(10 * w + 10)];
  after[static_cast<std::size_t>(10 * w + 11)] = before[static_cast<std::size_t>(10 * w + 11)];
  EXPECT_EQ(after, before);
  UndoLastFilter(state, host);
  EXPECT_EQ(WorkCopy(), before);
}

TEST_F(HotPixels, SaveFailuresLeaveNoFile) {
  state.files.hotPixelCount = 0;
  const std::string path = file("no-such-folder/map.HPM");
  EXPECT_FALSE(SaveHotPixelMap(state, host, path));
  EXPECT_EQ(host.boxes.back().text, "Failed to create Hot Pixel Map file");
  // An unrelated file in the autosave folder is left alone.
  std::filesystem::create_directories(dir.path() / "autosave");
  WriteBytes(dir.path() / "autosave" / "testdata.csv", {1, 2, 3});
  ASSERT_TRUE(SaveHotPixelMap(state, host, HotPixelMapPath(state)));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "autosave" / "testdata.csv"));
  EXPECT_EQ(ReadBytes(HotPixelMapPath(state)).size(), 19u);
  // A write that cannot be completed under the final name leaves nothing.
  std::filesystem::create_directories(dir.path() / "taken");
  EXPECT_FALSE(SaveHotPixelMap(state, host, file("taken")));
  EXPECT_EQ(host.boxes.back().text, "Hot Pixel Map file write failed");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // autosave and taken
}

TEST_F(HotPixels, MapNamesAndTheThresholdScroller) {
  state.settings.lastFileNumber = 40;
  EXPECT_FALSE(ChangeHotPixelMapName(state, host, "a/b"));
  EXPECT_EQ(HotPixelMapName(state), "Qel_K1C_HPM");
  EXPECT_TRUE(ChangeHotPixelMapName(state, host, "Qel_K1C_HPM"));
  EXPECT_EQ(state.settings.lastFileNumber, 40);  // the same name changes nothing
  EXPECT_TRUE(ChangeHotPixelMapName(state, host, "Night1"));
  EXPECT_EQ(state.settings.lastFileNumber, 0);
  RecomputeFrameGeometry(state.geometry, state.camera.model);  // as every new frame does
  EXPECT_EQ(HotPixelMapPath(state), file("autosave/Night1.HPM"));
  EXPECT_TRUE(ChangeHotPixelMapName(state, host, ""));
  EXPECT_EQ(HotPixelMapName(state), "Vesk_HPM");

  EXPECT_EQ(StepHotPixelThreshold(5'000, ScrollStep::LineLeft), 5'000);
  EXPECT_EQ(StepHotPixelThreshold(5'100, ScrollStep::PageLeft), 5'100);
  EXPECT_EQ(StepHotPixelThreshold(5'101, ScrollStep::PageLeft), 5'001);
  EXPECT_EQ(StepHotPixelThreshold(65'435, ScrollStep::PageRight), 65'435);
  EXPECT_EQ(StepHotPixelThreshold(65'534, ScrollStep::LineRight), 65'535);
  EXPECT_EQ(StepHotPixelThreshold(65'535, ScrollStep::LineRight), 65'535);
}

}  // namespace
}  // namespace qv::test
