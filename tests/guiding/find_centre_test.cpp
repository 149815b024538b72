#include "guiding/find_centre.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "guiding/guide_subframe.h"
#include "support/recording_host.h"

namespace qv {
namespace {

struct Frame {
  Frame(int w, int h, std::uint16_t fill) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
  std::uint16_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  FrameView view() const { return {pixels.data(), width, height, width}; }
  int width, height;
  std::vector<std::uint16_t> pixels;
};

TEST(FindCentre, HistogramBackgroundKeepsSinglePrecision) {
  EXPECT_EQ(HistogramBackground(25), 416);
  EXPECT_EQ(HistogramBackground(50), 832);
  EXPECT_EQ(HistogramBackground(100), 1664);
  EXPECT_EQ(HistogramBackground(225), 3743);
  EXPECT_EQ(static_cast<int>(225 * 16.64), 3744);  // what double precision would give
}

TEST(FindCentre, SingleBrightPixel) {
  Frame f(64, 64, 1000);
  f.at(30, 20) = 30000;
  const auto c = MeasureCentroid(f.view(), 28, 22, 8);
  ASSERT_TRUE(c);
  // Background bin 62 gives 1031; the one pixel stands 28969 above it, the
  // mean of the 289 pixels is 100, so d = 28869 at box column 10, row 6; the
  // sums start at 1, which pulls the centroid a little toward the box corner.
  EXPECT_EQ(c->background, 1031);
  EXPECT_DOUBLE_EQ(c->cx, 288691.0 / 28870.0);
  EXPECT_DOUBLE_EQ(c->cy, 173215.0 / 28870.0);
  EXPECT_EQ(Rounded(*c), (StarPosition{30, 20, 0, 0}));
  EXPECT_EQ(WithTenths(*c), (StarPosition{29, 19, 9, 9}));
}

TEST(FindCentre, SymmetricStarBetweenPixels) {
  // A 6 x 5 star symmetric about column 40.5 and row 30.
  Frame f(100, 80, 500);
  const int weights[] = {1, 3, 5, 5, 3, 1};
  const int rows[] = {1, 4, 6, 4, 1};
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 5; ++j) f.at(38 + i, 28 + j) = static_cast<std::uint16_t>(500 + 800 * weights[i] * rows[j]);
  }
  const auto c = MeasureCentroid(f.view(), 40, 30, 8);
  ASSERT_TRUE(c);
  // The true centre is box column 8.5, row 8; the sums' leading 1 leaves
  // the centroid a hair short of both.
  EXPECT_NEAR(c->cx, 8.5, 1e-3);
  EXPECT_LT(c->cx, 8.5);
  EXPECT_NEAR(c->cy, 8.0, 1e-3);
  EXPECT_EQ(WithTenths(*c), (StarPosition{40, 29, 4, 9}));
  EXPECT_EQ(Rounded(*c), (StarPosition{40, 30, 0, 0}));
}

TEST(FindCentre, FlatBoxGivesTheCentroidOneOneInTheBox) {
  Frame f(40, 40, 500);
  const auto c = MeasureCentroid(f.view(), 20, 20, 5);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->cx, 1.0);
  EXPECT_EQ(c->cy, 1.0);
  EXPECT_EQ(Rounded(*c), (StarPosition{16, 16, 0, 0}));
  // A negative radius from a damaged settings file measures a one-pixel box
  // (flat, so again one past its corner) instead of dividing by no pixels.
  const auto one = MeasureCentroid(f.view(), 20, 20, -3);
  ASSERT_TRUE(one);
  EXPECT_EQ(Rounded(*one), (StarPosition{21, 21, 0, 0}));
}

TEST(FindCentre, FaintStarsAreAmplifiedBelowPeak17000) {
  // A star pixel and a second one at the box edge, background 0. Below a
  // peak of 17000 every value is multiplied by 4, and one above 16383 gives
  // 65535 instead: the star pixel loses a little weight to the other.
  for (const auto& [peak, tenths] : {std::pair{16999, 9}, std::pair{17000, 8}}) {
    Frame f(40, 40, 0);
    f.at(20, 20) = static_cast<std::uint16_t>(peak);
    f.at(28, 20) = 16000;
    const auto c = MeasureCentroid(f.view(), 20, 20, 8);
    ASSERT_TRUE(c);
    EXPECT_EQ(WithTenths(*c).x, 23) << peak;
    EXPECT_EQ(WithTenths(*c).tenthsX, tenths) << peak;
  }
}

TEST(FindCentre, BoxTouchingTheEdgeIsMeasuredOnePastFails) {
  Frame f(50, 40, 100);
  EXPECT_TRUE(MeasureCentroid(f.view(), 8, 8, 8));    // x - c = 0, y - c = 0
  EXPECT_TRUE(MeasureCentroid(f.view(), 41, 31, 8));  // x + c + 1 = w, y + c + 1 = h
  EXPECT_FALSE(MeasureCentroid(f.view(), 7, 20, 8));
  EXPECT_FALSE(MeasureCentroid(f.view(), 20, 7, 8));
  EXPECT_FALSE(MeasureCentroid(f.view(), 42, 20, 8));
  EXPECT_FALSE(MeasureCentroid(f.view(), 20, 32, 8));
}

class FindCentreState : public ::testing::Test {
 protected:
  void SetUp() override {
    state->geometry.width = 300;
    state->geometry.height = 200;
    state->geometry.pixelCount = 300 * 200;
    std::fill_n(state->images.workImage, 300 * 200, 1000);
    state->settings.guideStarMaskRadius = 8;
  }
  void Star(int x, int y) { state->images.workImage[y * 300 + x] = 30000; }
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;
};

TEST_F(FindCentreState, OutsideTheImageShowsTheMessageAndChangesNothing) {
  state->guiding.guideStar = {5, 6, 7, 8};
  EXPECT_FALSE(FindCentre(*state, host, 7, 100, CentreSource::MainCamera));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].caption, "QEL_VESK_USB  - Find Centre");
  EXPECT_EQ(host.boxes[0].text, "Find centre failed - outside image area");
  EXPECT_EQ(state->guiding.guideStar, (StarPosition{5, 6, 7, 8}));
}

TEST_F(FindCentreState, MainCameraResultsAreWholePixelsUnlessGuidingKeepsTenths) {
  Star(100, 60);
  EXPECT_EQ(FindCentre(*state, host, 98, 62, CentreSource::MainCamera), (StarPosition{100, 60, 0, 0}));
  EXPECT_EQ(state->guiding.guideStar, (StarPosition{100, 60, 0, 0}));

  // While main-camera guiding runs the work image holds the 128 x 128 guide
  // frame; with small drifts ignored the results stay whole pixels.
  state->guiding.mainGuidingRunning = true;
  std::fill_n(state->images.workImage, 300 * 200, 1000);
  state->images.workImage[60 * 128 + 100] = 30000;
  state->settings.ignoreSmallDrift = true;
  EXPECT_EQ(FindCentre(*state, host, 101, 61, CentreSource::MainCamera), (StarPosition{100, 60, 0, 0}));
  state->settings.ignoreSmallDrift = false;
  EXPECT_EQ(FindCentre(*state, host, 101, 61, CentreSource::MainCamera), (StarPosition{99, 59, 9, 9}));
  EXPECT_FALSE(FindCentre(*state, host, 125, 61, CentreSource::MainCamera));  // past column 127
}

TEST_F(FindCentreState, GuiderFrameKeepsTenthsInTheGuiderStar) {
  std::fill_n(state->images.guideImage, 500 * 290, 20);
  state->images.guideImage[280 * 500 + 480] = 30000;  // column 480, row 280: in the 500 x 290 frame only
  const auto found = FindCentre(*state, host, 481, 280, CentreSource::GuiderCamera);
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, (StarPosition{479, 279, 9, 9}));
  EXPECT_EQ(state->guiding.guiderStar, *found);
  EXPECT_EQ(state->guiding.guideStar, StarPosition{});
  // The narrow sensor's frame is stored 376 pixels a row.
  state->settings.guiderCameraType = 'x';
  std::fill_n(state->images.guideImage, 500 * 290, 20);
  state->images.guideImage[280 * 376 + 366] = 30000;
  EXPECT_EQ(FindCentre(*state, host, 367, 280, CentreSource::GuiderCamera), (StarPosition{365, 279, 9, 9}));
  EXPECT_FALSE(FindCentre(*state, host, 368, 280, CentreSource::GuiderCamera));  // past column 375
}

TEST(GuideSubFrame, PlacementOnEachSideAndTheOffsets) {
  // Middle: the star sits at the half size; offsets from the origin.
  SubFramePlacement s = PlaceGuideSubFrame(300, 200, 1392, 1040, 64, 64, 1);
  EXPECT_EQ(s.originX, 236);
  EXPECT_EQ(s.originY, 136);
  EXPECT_EQ(s.offsetX, 0);
  EXPECT_EQ(s.offsetY, 16);  // 136 mod 30
  EXPECT_EQ(s.cameraX, 64);
  EXPECT_EQ(s.cameraY, 48);
  // A star exactly at the half size takes the near-edge branch.
  s = PlaceGuideSubFrame(64, 10, 1392, 1040, 64, 64, 1);
  EXPECT_EQ(s.originX, 0);
  EXPECT_EQ(s.starX, 64);
  EXPECT_EQ(s.originY, 0);
  EXPECT_EQ(s.starY, 10);
  // Far edge: the sub-frame ends on the frame's edge.
  s = PlaceGuideSubFrame(1390, 1039, 1392, 1040, 64, 64, 1);
  EXPECT_EQ(s.originX, 1264);
  EXPECT_EQ(s.starX, 126);
  EXPECT_EQ(s.originY, 912);
  EXPECT_EQ(s.starY, 127);
  // Binned: origins double before the modulo, the star doubles too.
  s = PlaceGuideSubFrame(101, 100, 696, 520, 32, 32, 2);
  EXPECT_EQ(s.originX, 69);
  EXPECT_EQ(s.offsetX, 2);   // 138 mod 4
  EXPECT_EQ(s.offsetY, 16);  // 136 mod 30
  EXPECT_EQ(s.cameraX, 66);
  EXPECT_EQ(s.cameraY, 48);
}

TEST_F(FindCentreState, SubFrameShowsItsPlacementAndGivesTheStarBack) {
  state->geometry.focusFrameSizeX = state->geometry.focusFrameSizeY = 64;
  state->guiding.guideStar = {150, 100, 0, 0};
  StartGuideSubFrame(*state, host);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text,
            "xcent=   66, ycent =    58, focus_x =    86, focus_y =    36,  xoffset =     2, yoffset =     6");
  EXPECT_TRUE(state->guiding.subFrameActive);
  EXPECT_EQ(state->guiding.guideStar, (StarPosition{66, 58, 0, 0}));
  EndGuideSubFrame(*state);
  EXPECT_FALSE(state->guiding.subFrameActive);
  EXPECT_EQ(state->guiding.guideStar, (StarPosition{150, 100, 0, 0}));
}

}  // namespace
}  // namespace qv
