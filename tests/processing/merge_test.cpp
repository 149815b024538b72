// Merging two images on marked points.

#include <gtest/gtest.h>

#include "app/mouse_modes.h"
#include "processing/merge_images.h"
#include "processing/processing_fixture.h"

namespace qv::test {
namespace {

struct Merge : ::testing::Test {
  ProcessingFixture f{20, 16};
  ProgramState& s = *f.state;

  // Starts merging with `base` shown, marks (bx, by), opens `second` and
  // marks (mx, my) on it.
  void Prepare(std::uint16_t base, std::uint16_t second, int bx = 5, int by = 5, int mx = 5, int my = 5) {
    f.fill(base);
    ASSERT_TRUE(StartMerge(s, f.host));
    MarkMergePoint(s, bx, by);
    KeepMergeBase(s);
    f.fill(second);
    MergeSecondImageOpened(s, true);
    MarkMergePoint(s, mx, my);
  }
};

TEST_F(Merge, SumIsCappedAndAverageHalves) {
  Prepare(40'000, 40'000);
  SetMergeSuperimpose(s, true);
  ASSERT_EQ(MergeImages(s, f.host), MergeResult::Merged);
  EXPECT_EQ(f.at(5, 5), 65'535);
  EXPECT_EQ(f.at(0, 5), 40'000);  // partner in column 0: not used
  EXPECT_EQ(f.at(5, 0), 40'000);  // partner in row 0: not used
  EXPECT_EQ(s.processing.merge.merged, 1);
  EXPECT_EQ(s.processing.merge.mergeMode, 0);
  EXPECT_EQ(s.processing.merge.superimpose, 0);

  Prepare(40'000, 40'000);
  SetMergeAverage(s, true);
  ASSERT_EQ(MergeImages(s, f.host), MergeResult::Merged);
  EXPECT_EQ(f.at(5, 5), 40'000);
}

TEST(MergeValue, SpecialAverageKeepsTheBrighterWhenOneIsTwiceTheOther) {
  EXPECT_EQ(MergedValue(1'000, 400, false, true), 1'000);  // 2m < o
  EXPECT_EQ(MergedValue(400, 1'000, false, true), 1'000);  // 2o < m
  EXPECT_EQ(MergedValue(600, 1'001, false, true), 800);    // (m + o) / 2
  EXPECT_EQ(MergedValue(600, 1'001, false, false), 1'601);
  EXPECT_EQ(MergedValue(600, 1'001, true, false), 800);
}

TEST_F(Merge, ThePartnerIsShiftedByTheMarks) {
  f.fill(0);
  ASSERT_TRUE(StartMerge(s, f.host));
  MarkMergePoint(s, 5, 5);
  KeepMergeBase(s);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) f.at(x, y) = static_cast<std::uint16_t>(100 * y + x);
  MergeSecondImageOpened(s, true);
  MarkMergePoint(s, 7, 6);  // dx 2, dy 1
  ASSERT_EQ(MergeImages(s, f.host), MergeResult::Merged);
  EXPECT_EQ(f.at(3, 4), 100 * 5 + 5);
  EXPECT_EQ(f.at(17, 4), 100 * 5 + 19);
  EXPECT_EQ(f.at(18, 4), 0);  // partner column 20 is off the image
  EXPECT_EQ(f.at(3, 14), 1'505);
  EXPECT_EQ(f.at(3, 15), 0);  // partner row 16 is off the image
}

TEST_F(Merge, OverALabelBandRowsAboveTenStay) {
  f.fill(1'000);
  f.markHeaderBand();
  ASSERT_TRUE(StartMerge(s, f.host));
  KeepMergeBase(s);
  f.fill(10);
  MergeSecondImageOpened(s, true);
  SetMergeSuperimpose(s, true);
  ASSERT_EQ(MergeImages(s, f.host), MergeResult::Merged);
  EXPECT_EQ(f.at(5, 10), 1'000);  // partner row 10 is the first row, never used
  EXPECT_EQ(f.at(5, 11), 1'010);
}

TEST_F(Merge, RefusalsAndMergingBeforeTheSecondImage) {
  s.analysis.photometry.open = true;
  EXPECT_FALSE(StartMerge(s, f.host));
  s.analysis.photometry.open = false;
  s.display.fitToScreen = true;
  EXPECT_FALSE(StartMerge(s, f.host));
  s.display.fitToScreen = false;
  ASSERT_TRUE(StartMerge(s, f.host));
  EXPECT_FALSE(StartMerge(s, f.host));
  std::vector<int> numbers;
  for (const auto& box : f.host.boxes) numbers.push_back(box.number);
  EXPECT_EQ(numbers, (std::vector<int>{35, 30, 31}));

  f.fill(7);
  EXPECT_EQ(MergeImages(s, f.host), MergeResult::NotReady);
  EXPECT_EQ(s.processing.merge.mergeMode, 1);
  EXPECT_EQ(f.pixels(), std::vector<std::uint16_t>(20 * 16, 7));
  CancelMerge(s);
  EXPECT_EQ(s.processing.merge.mergeMode, 0);
  EXPECT_FALSE(s.display.mouseModeActive);
}

TEST_F(Merge, ASecondOpeningKeepsTheFirstBase) {
  Prepare(100, 200);
  KeepMergeBase(s);  // another image opened while merging
  f.fill(300);
  MergeSecondImageOpened(s, true);
  SetMergeSuperimpose(s, true);
  ASSERT_EQ(MergeImages(s, f.host), MergeResult::Merged);
  EXPECT_EQ(f.at(5, 5), 400);
}

TEST_F(Merge, ImagesOfAnotherSizeAreRefused) {
  Prepare(100, 200);
  SetFrameSize(s.geometry, 10, 8);
  EXPECT_EQ(MergeImages(s, f.host), MergeResult::Refused);
  EXPECT_EQ(s.processing.merge.mergeMode, 1);
}

TEST_F(Merge, ColourPlanesAreAveragedOnlyWhenBothImagesAreColour) {
  auto fillPlanes = [&](std::uint16_t v) {
    for (auto* plane : s.images.colourPlanes) std::fill_n(plane, 20 * 16, v);
  };
  // A colour base and a mono second image: the base planes come back as they were.
  fillPlanes(1'000);
  s.images.colourConverted = 1;
  f.fill(10);
  ASSERT_TRUE(StartMerge(s, f.host));
  KeepMergeBase(s);
  fillPlanes(0);
  s.images.colourConverted = 0;
  MergeSecondImageOpened(s, true);
  ASSERT_EQ(MergeImages(s, f.host), MergeResult::Merged);
  EXPECT_EQ(s.images.colourPlanes[0][5 * 20 + 5], 1'000);
  EXPECT_EQ(s.images.colourConverted, 1);

  // Both colour: the planes are averaged.
  ASSERT_TRUE(StartMerge(s, f.host));
  KeepMergeBase(s);
  fillPlanes(3'000);
  s.images.colourConverted = 1;
  MergeSecondImageOpened(s, true);
  ASSERT_EQ(MergeImages(s, f.host), MergeResult::Merged);
  EXPECT_EQ(s.images.colourPlanes[2][5 * 20 + 5], 2'000);
}

TEST_F(Merge, TheCheckBoxesExcludeEachOther) {
  SetMergeAverage(s, true);
  SetMergeSpecialAverage(s, true);
  EXPECT_EQ(s.processing.merge.average, 0);
  SetMergeAverage(s, true);
  EXPECT_EQ(s.processing.merge.specialAverage, 0);
  SetMergeCentre(s, true);
  SetMergeSuperimpose(s, true);
  EXPECT_EQ(s.processing.merge.centre, 0);
}

}  // namespace
}  // namespace qv::test
