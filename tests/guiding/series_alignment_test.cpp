#include "guiding/series_alignment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "support/recording_host.h"

namespace qv {
namespace {

class SeriesAlignment : public ::testing::Test {
 protected:
  void Frame(int width, int height) {
    state->geometry.width = width;
    state->geometry.height = height;
    state->geometry.pixelCount = width * height;
    state->settings.guideStarMaskRadius = 6;
  }
  // A flat frame with one 3 x 3 star centred on (x, y).
  void NewFrame(std::uint16_t background, int x, int y, std::uint16_t peak) {
    std::fill_n(state->images.workImage, state->geometry.pixelCount, background);
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) Work(x + dx, y + dy) = dx == 0 && dy == 0 ? peak : peak / 2;
    }
  }
  std::uint16_t& Work(int x, int y) { return state->images.workImage[y * state->geometry.width + x]; }
  std::uint16_t Sum(int x, int y) const { return state->images.scratchImage[y * state->geometry.width + x]; }

  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;
};

TEST_F(SeriesAlignment, StarFramesAreShiftedOntoTheSum) {
  Frame(80, 60);
  state->guiding.guideStar = {21, 19, 0, 0};  // picked near the star
  NewFrame(100, 20, 20, 20000);
  EXPECT_EQ(AlignByStar(*state, host, 1), SeriesAlignResult::Added);
  EXPECT_EQ(state->guiding.tracking.reference, (StarPosition{20, 20, 0, 0}));
  EXPECT_EQ(state->guiding.tracking.referencePeak, 20000);
  EXPECT_EQ(Sum(20, 20), 20000);

  // The star moved 3 right and 1 down: the sum is moved with it.
  NewFrame(100, 23, 21, 20000);
  EXPECT_EQ(AlignByStar(*state, host, 1), SeriesAlignResult::Added);
  EXPECT_EQ(state->guiding.tracking.reference, (StarPosition{23, 21, 0, 0}));
  EXPECT_EQ(Work(23, 21), 40000);
  EXPECT_EQ(Sum(23, 21), 40000);
  EXPECT_EQ(Work(40, 40), 200);
  // Pixels whose source lies outside the frame (or on its first row or
  // column) keep the new frame's value.
  EXPECT_EQ(Work(2, 30), 100);
  EXPECT_EQ(Work(30, 1), 100);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(SeriesAlignment, AveragingDividesTheNewFrame) {
  Frame(80, 60);
  state->guiding.guideStar = {20, 20, 0, 0};
  NewFrame(100, 20, 20, 20000);
  EXPECT_EQ(AlignByStar(*state, host, 4), SeriesAlignResult::Added);
  EXPECT_EQ(Sum(20, 20), 5000);
  NewFrame(100, 20, 20, 20000);
  EXPECT_EQ(AlignByStar(*state, host, 4), SeriesAlignResult::Added);
  EXPECT_EQ(Sum(20, 20), 10000);
  EXPECT_EQ(Sum(40, 40), 50);
}

TEST_F(SeriesAlignment, StarMuchBrighterOrFainterIsLost) {
  Frame(80, 60);
  state->guiding.guideStar = {20, 20, 0, 0};
  NewFrame(100, 20, 20, 10000);
  ASSERT_EQ(AlignByStar(*state, host, 1), SeriesAlignResult::Added);
  NewFrame(100, 20, 20, 31000);  // above 3 x 10000
  EXPECT_EQ(AlignByStar(*state, host, 1), SeriesAlignResult::StarLost);
  EXPECT_EQ(Work(20, 20), 10000);  // the sum is put back
  NewFrame(100, 20, 20, 2900);     // below 0.3 x 10000
  EXPECT_EQ(AlignByStar(*state, host, 1), SeriesAlignResult::StarLost);
  NewFrame(100, 20, 20, 29000);
  EXPECT_EQ(AlignByStar(*state, host, 1), SeriesAlignResult::Added);
  EXPECT_EQ(Work(20, 20), 39000);
}

TEST_F(SeriesAlignment, ProfilesFollowTheShift) {
  Frame(320, 240);
  NewFrame(0, 210, 150, 5000);
  EXPECT_EQ(AlignByProfile(*state, 1), SeriesAlignResult::Added);
  EXPECT_EQ(state->guiding.tracking.windowBase, 0);
  NewFrame(0, 213, 152, 5000);
  EXPECT_EQ(AlignByProfile(*state, 1), SeriesAlignResult::Added);
  EXPECT_EQ(state->guiding.tracking.offsetX, 3);
  EXPECT_EQ(state->guiding.tracking.offsetY, 2);
  // The new frame is added where it lines up with the sum, and the sum is shown.
  EXPECT_EQ(Sum(210, 150), 10000);
  EXPECT_EQ(Work(210, 150), 10000);
}

TEST_F(SeriesAlignment, FeaturelessFramesAreLostAndSmallFramesHaveNoWindow) {
  Frame(320, 240);
  NewFrame(0, 20, 20, 0);
  EXPECT_EQ(AlignByProfile(*state, 1), SeriesAlignResult::Added);
  EXPECT_EQ(AlignByProfile(*state, 1), SeriesAlignResult::StarLost);
  ResetSeriesAlignment(*state);
  Frame(200, 150);
  EXPECT_EQ(AlignByProfile(*state, 1), SeriesAlignResult::NoSuitableStar);
}

TEST_F(SeriesAlignment, TheWindowMovesDownToABrightStarOffItsMiddle) {
  // Background bin 10: a star must reach 256 x 10 + 2560 = 5120, and one of
  // 4000 anywhere in the windows tried ends the search a window further down.
  Frame(320, 440);
  struct Case {
    int x, y, peak;
    std::optional<int> base;
  };
  const Case cases[] = {
      {210, 150, 5120, 0},             // bright enough, beside the middle
      {210, 150, 5119, 10},            // not bright enough, but bright enough to stop
      {250, 150, 6000, 10},            // in the middle (columns 220 to 280, rows 120 to 180)
      {250, 190, 6000, 0},             // below the middle
      {210, 400, 5120, 210},           // only the windows from row 310 hold it
      {250, 415, 5120, 220},           // the last window, starting at row 320
      {250, 425, 6000, std::nullopt},  // would need a window starting at row 330
      {250, 150, 3900, std::nullopt},  // never bright enough
  };
  for (const Case& c : cases) {
    ResetSeriesAlignment(*state);
    NewFrame(2600, c.x, c.y, static_cast<std::uint16_t>(c.peak));
    const SeriesAlignResult r = AlignByProfile(*state, 1);
    if (!c.base) {
      EXPECT_EQ(r, SeriesAlignResult::NoSuitableStar) << c.x << ',' << c.y << ' ' << c.peak;
      continue;
    }
    EXPECT_EQ(r, SeriesAlignResult::Added) << c.x << ',' << c.y << ' ' << c.peak;
    EXPECT_EQ(state->guiding.tracking.windowBase, *c.base) << c.x << ',' << c.y << ' ' << c.peak;
  }
  // On a shorter frame the last window ends on its last row.
  Frame(320, 300);
  ResetSeriesAlignment(*state);
  NewFrame(2600, 210, 297, 5120);
  EXPECT_EQ(AlignByProfile(*state, 1), SeriesAlignResult::Added);
  EXPECT_EQ(state->guiding.tracking.windowBase, 100);
  ResetSeriesAlignment(*state);
  NewFrame(2600, 210, 297, 3900);
  EXPECT_EQ(AlignByProfile(*state, 1), SeriesAlignResult::NoSuitableStar);
}

}  // namespace
}  // namespace qv
