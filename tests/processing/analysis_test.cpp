// The analysis views: histogram bars and listing, the counting area of the
// paint, photometry sums, means and magnitude, the plots' points on the
// smallest frame, and which view may open when.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/display_rebuild.h"
#include "processing/analysis_views.h"
#include "processing/histogram_view.h"
#include "processing/intensity_plots.h"
#include "processing/photometry.h"
#include "processing/pixel_values.h"
#include "processing_fixture.h"
#include "support/test_clock.h"

namespace qv {
namespace {

using test::ProcessingFixture;

TEST(Histogram, CountsOverTheTopDrawAt210AndAreListedTheRestDrawAFifth) {
  std::array<std::uint32_t, 257> counts{};
  counts[3] = 1500;
  counts[7] = 1004;
  counts[9] = 1502;  // listed as its height times 5
  counts[10] = 1054;
  counts[11] = 1055;  // 211: the first height over the top
  const HistogramPicture p = BuildHistogramPicture(counts);
  EXPECT_EQ(p.heights[3], 210);
  EXPECT_TRUE(p.highlighted[3]);
  EXPECT_EQ(p.heights[7], 200);
  EXPECT_FALSE(p.highlighted[7]);
  EXPECT_EQ(p.heights[10], 210);
  EXPECT_FALSE(p.highlighted[10]);
  EXPECT_TRUE(p.highlighted[11]);
  EXPECT_EQ(p.listing,
            "val         count \n"
            "0003       1500 \n"
            "0009       1500 \n"
            "0011       1055 \n");
}

TEST(Histogram, OnlyTheFirstFifteenLevelsOverTheTopAreListed) {
  std::array<std::uint32_t, 257> counts{};
  for (int level = 100; level < 120; ++level) counts[level] = 5000;
  const HistogramPicture p = BuildHistogramPicture(counts);
  EXPECT_NE(p.listing.find("0114       5000 \n"), std::string::npos);
  EXPECT_EQ(p.listing.find("0115"), std::string::npos);
  EXPECT_TRUE(p.highlighted[119]);
}

TEST(Histogram, ThePaintCountsRows11ToHeightMinus6AndColumns5ToWidthMinus6) {
  ProcessingFixture f(40, 30);
  f.fill(0);
  // Level 1 just inside the counting area on every side, level 2 just outside.
  for (int x = 0; x < 40; ++x) {
    f.at(x, 10) = f.at(x, 30 - 5) = 0x200;
    if (x >= 5 && x <= 34) f.at(x, 11) = f.at(x, 30 - 6) = 0x100;
  }
  for (int y = 12; y < 24; ++y) {
    f.at(4, y) = f.at(40 - 5, y) = 0x200;
    f.at(5, y) = f.at(40 - 6, y) = 0x100;
  }
  PaintBlackLevel(f.state->images, f.state->geometry);
  const auto& bins = f.state->images.displayHistogram;
  EXPECT_EQ(bins[2], 0u);
  EXPECT_EQ(bins[1], 30u * 2 + 12u * 2);
  EXPECT_EQ(bins[0] + bins[1], 30u * 14);  // columns 5..34, rows 11..24
}

// A frame with three flat boxes: object, comparison and background.
struct PhotometryFrame : ProcessingFixture {
  PhotometryFrame() : ProcessingFixture(64, 48) {
    fill(50);
    box(10, 10, 1600);
    box(30, 20, 400);
    box(50, 40, 0);
  }
  void box(int cx, int cy, std::uint16_t value) {
    for (int y = cy - 2; y <= cy + 2; ++y)
      for (int x = cx - 2; x <= cx + 2; ++x) at(x, y) = value;
  }
  void click(PhotometryPicks& picks, char choice, int x, int y) {
    ChoosePhotometryMeasure(picks, choice);
    ASSERT_TRUE(RecordPhotometryClick(picks, state->images, state->geometry, host, x, y));
  }
};

TEST(Photometry, SumsOf40000And10000OverAZeroBackgroundShowMinus1Point51) {
  PhotometryFrame f;
  PhotometryPicks picks;
  OpenPhotometry(picks);
  ChoosePhotometryRadius(picks, 2);
  f.click(picks, 'o', 10, 10);
  f.click(picks, 'c', 30, 20);
  f.click(picks, 'b', 50, 40);
  EXPECT_EQ(picks.object.sum, 40000);
  EXPECT_EQ(picks.comparison.sum, 10000);
  EXPECT_EQ(picks.background.sum, 0);
  const PhotometryFields fields = PhotometryDisplay(picks, 7);
  EXPECT_EQ(fields.magnitude, "-1.51");
  EXPECT_EQ(fields.objectMean, "   1600");
  EXPECT_EQ(fields.comparisonMean, "    400");
  EXPECT_EQ(fields.background, "      0");
  EXPECT_EQ(fields.objectX, "10");
  EXPECT_EQ(fields.comparisonY, "20");
}

TEST(Photometry, TheMagnitudeNeedsSumsAndABackgroundBelowBoth) {
  EXPECT_FALSE(MagnitudeDifference(40000, 10000, 10000));
  EXPECT_FALSE(MagnitudeDifference(40000, 10000, 40000));
  EXPECT_FALSE(MagnitudeDifference(0, 10000, -5));
  EXPECT_FALSE(MagnitudeDifference(40000, 0, -5));
  ASSERT_TRUE(MagnitudeDifference(10000, 40000, 0));
  EXPECT_NEAR(*MagnitudeDifference(10000, 40000, 0), 1.505, 0.001);
  PhotometryPicks picks;
  picks.object.sum = 40000;
  picks.comparison.sum = 10000;
  picks.background.sum = 10000;
  EXPECT_EQ(PhotometryDisplay(picks, 0).magnitude, "");
}

TEST(Photometry, TheBackgroundFieldShowsTheBlackLevelUntilBackgroundIsChosen) {
  PhotometryFrame f;
  PhotometryPicks picks;
  OpenPhotometry(picks);
  EXPECT_EQ(PhotometryDisplay(picks, 3).background, "    768");
  ChoosePhotometryMeasure(picks, 'b');
  EXPECT_EQ(PhotometryDisplay(picks, 3).background, "      0");
  f.click(picks, 'b', 20, 30);  // radius 4 over the level 50
  EXPECT_EQ(PhotometryDisplay(picks, 3).background, "     50");
}

TEST(Photometry, EachRadiusChoiceSumsItsBoxAndClearsThePicks) {
  PhotometryFrame f;
  f.fill(3);
  for (std::size_t button = 0; button < kPhotometryRadii.size(); ++button) {
    const int r = kPhotometryRadii[button];
    PhotometryPicks picks;
    OpenPhotometry(picks);
    f.click(picks, 'o', 20, 20);
    ChoosePhotometryRadius(picks, r);
    EXPECT_EQ(picks.object.x, 0) << r;
    EXPECT_EQ(picks.object.sum, 0) << r;
    EXPECT_EQ(PhotometryRadiusButton(r), static_cast<int>(button));
    f.click(picks, 'o', 20, 20);
    EXPECT_EQ(picks.object.sum, 3 * (2 * r + 1) * (2 * r + 1)) << r;
    EXPECT_EQ(PhotometryDisplay(picks, 0).objectMean, "      3") << r;
  }
  EXPECT_EQ(PhotometryRadiusButton(5), kPhotometryOtherRadiusButton);
  PhotometryPicks opened;
  opened.radius = 8;
  OpenPhotometry(opened);
  EXPECT_EQ(opened.radius, 4);
}

TEST(Photometry, ABoxPastTheFrameEdgeIsRefusedAndChangesNothing) {
  PhotometryFrame f;
  PhotometryPicks picks;
  OpenPhotometry(picks);
  ChoosePhotometryRadius(picks, 8);
  const int right = f.state->geometry.widthMinus1 - 8;
  const int bottom = f.state->geometry.heightMinus1 - 8;
  for (auto [x, y] : {std::pair{7, 20}, std::pair{20, 7}, std::pair{right + 1, 20}, std::pair{20, bottom + 1}}) {
    EXPECT_FALSE(RecordPhotometryClick(picks, f.state->images, f.state->geometry, f.host, x, y));
    EXPECT_EQ(f.host.boxes.back().number, 2);
    EXPECT_EQ(picks.object.x, 0);
  }
  for (auto [x, y] : {std::pair{8, 8}, std::pair{right, bottom}}) {
    EXPECT_TRUE(RecordPhotometryClick(picks, f.state->images, f.state->geometry, f.host, x, y));
    EXPECT_EQ(picks.object.x, x);
  }
  EXPECT_EQ(f.host.boxes.size(), 4u);
}

TEST(Photometry, ThePointerIsShownTwoPixelsInsideTheFrame) {
  PhotometryFrame f;
  PhotometryPicks picks;
  int redraws = 0;
  picks.changed = [&] { ++redraws; };
  EXPECT_FALSE(RecordPhotometryPointer(picks, f.state->images, f.state->geometry, 1, 10));
  EXPECT_FALSE(RecordPhotometryPointer(picks, f.state->images, f.state->geometry, 10, f.height() - 1));
  EXPECT_TRUE(RecordPhotometryPointer(picks, f.state->images, f.state->geometry, 10, 10));
  EXPECT_EQ(PhotometryDisplay(picks, 0).pointerValue, "  1600");
  EXPECT_EQ(redraws, 1);
}

// The smallest frame: the K7 sensor binned.
constexpr int kSmallestWidth = 652, kSmallestHeight = 512;

TEST(Plots, TheRowPlotTakesEverySecondPixelOfA1392RowAndEveryPixelOfA696Row) {
  ProcessingFixture wide(1392, 20);
  for (int x = 0; x < 1392; ++x) wide.at(x, 5) = static_cast<std::uint16_t>(x * 40);
  const auto points = RowPlotPoints(wide.work(), wide.state->geometry, 5);
  ASSERT_EQ(points.size(), 697u);
  EXPECT_EQ(points[0].x, 4);
  EXPECT_EQ(points[0].y, 198);
  EXPECT_EQ(points[1].x, 5);
  EXPECT_EQ(points[696].x, 700);
  EXPECT_EQ(points[696].y, 198 - (1390 * 40) / 384);
  ProcessingFixture binned(696, 20);
  for (int x = 0; x < 696; ++x) binned.at(x, 5) = static_cast<std::uint16_t>(x * 90);
  EXPECT_EQ(RowPlotPoints(binned.work(), binned.state->geometry, 5)[696].y, 198 - (695 * 90) / 384);
}

TEST(Plots, The3dTracesStepDownAndLeftAndMarkRisingSegments) {
  ProcessingFixture f(1392, 1040);
  f.fill(0);
  f.at(2, 16) = 3840;  // point 1 of the first trace rises by 10
  const auto traces = Plot3dTraces(f.work(), f.state->geometry);
  ASSERT_EQ(traces.size(), 128u);
  EXPECT_EQ(traces[0].row, 16);
  EXPECT_EQ(traces.back().row, 8 * 129);
  EXPECT_EQ(traces[0].points[0].x, 135);
  EXPECT_EQ(traces[0].points[0].y, 2 + 186);
  EXPECT_EQ(traces[0].points[1].y, 2 + 186 - 10);
  EXPECT_TRUE(traces[0].rising[1]);
  EXPECT_FALSE(traces[0].rising[2]);
  EXPECT_EQ(traces[1].points[0].x, 134);
  EXPECT_EQ(traces.back().points[695].x, 135 - 127 + 695);
  ProcessingFixture binned(696, 520);
  binned.state->geometry.binned = 1;
  EXPECT_EQ(Plot3dTraces(binned.work(), binned.state->geometry).back().row, 4 * 129);
}

// The 3-D plot keeps its rows 8 k (4 k binned) and draws only those inside
// a lower frame; the smallest frame, binned or not.
TEST(Plots, OnTheSmallestFrameEveryPlottedPixelLiesInsideIt) {
  ProcessingFixture f(kSmallestWidth, kSmallestHeight);
  for (int binned : {0, 1}) {
    f.state->geometry.binned = binned;
    const auto traces = Plot3dTraces(f.work(), f.state->geometry);
    ASSERT_EQ(traces.size(), binned ? 126u : 62u);
    for (const Plot3dTrace& t : traces) {
      EXPECT_EQ(t.row, t.k * (binned ? 4 : 8));
      EXPECT_LT(t.row, kSmallestHeight);
    }
  }
  for (int j = 0; j < kPlotPoints; ++j) EXPECT_LT(PlotColumn(f.state->geometry, j), kSmallestWidth);
  EXPECT_EQ(RowPlotRow(f.state->geometry, 600), kSmallestHeight - 1);
}

TEST(PixelValuesView, ColourPlanesShowOnlyOnAColourImage) {
  ProcessingFixture f(20, 20);
  f.at(5, 6) = 1234;
  ImageStore& images = f.state->images;
  images.colourPlanes[ImageStore::kRed][6 * 20 + 5] = 11;
  images.colourPlanes[ImageStore::kGreen][6 * 20 + 5] = 22;
  images.colourPlanes[ImageStore::kBlue][6 * 20 + 5] = 33;
  PixelValues v = PixelValuesAt(images, f.state->geometry, 5, 6);
  EXPECT_EQ(v.red + v.green + v.blue, 0);
  EXPECT_EQ(LuminanceText(v), "  1234");
  images.colourConverted = 1;
  v = PixelValuesAt(images, f.state->geometry, 5, 6);
  EXPECT_EQ(v.red, 11);
  EXPECT_EQ(v.green, 22);
  EXPECT_EQ(v.blue, 33);
}

TEST(AnalysisViews, PhotometryAndTheRowPlotExcludeEachOtherAndNeedTheStandardDisplay) {
  ProcessingFixture f(64, 48);
  ProgramState& s = *f.state;
  s.display.fitToScreen = true;
  EXPECT_EQ(OpenPhotometryView(s, f.host), ViewOpening::Refused);
  EXPECT_EQ(f.host.boxes.back().number, 36);
  EXPECT_EQ(OpenRowPlot(s, f.host), ViewOpening::Refused);
  EXPECT_EQ(f.host.boxes.back().number, 38);
  s.display.fitToScreen = false;

  EXPECT_EQ(OpenPhotometryView(s, f.host), ViewOpening::Opened);
  EXPECT_TRUE(s.display.mouseModeActive);
  EXPECT_EQ(OpenPhotometryView(s, f.host), ViewOpening::AlreadyOpen);
  EXPECT_EQ(f.host.boxes.back().number, 37);
  EXPECT_EQ(OpenRowPlot(s, f.host), ViewOpening::Refused);
  EXPECT_EQ(f.host.boxes.back().number, 35);
  ClosePhotometryView(s);
  EXPECT_FALSE(s.display.mouseModeActive);

  s.analysis.rowPlot.row = 17;
  EXPECT_EQ(OpenRowPlot(s, f.host), ViewOpening::Opened);
  EXPECT_EQ(s.analysis.rowPlot.row, 250);
  EXPECT_EQ(OpenPhotometryView(s, f.host), ViewOpening::Refused);
  EXPECT_EQ(f.host.boxes.back().number, 35);
  EXPECT_EQ(OpenPlot3d(s), ViewOpening::AlreadyOpen);
  EXPECT_TRUE(PickPlotRow(s, 40));
  EXPECT_FALSE(PickPlotRow(s, 48));
  EXPECT_EQ(s.analysis.rowPlot.row, 40);
  CloseRowPlot(s);
  EXPECT_EQ(OpenPlot3d(s), ViewOpening::Opened);
  const std::size_t boxes = f.host.boxes.size();
  EXPECT_EQ(OpenRowPlot(s, f.host), ViewOpening::AlreadyOpen);
  EXPECT_EQ(f.host.boxes.size(), boxes);
}

TEST(AnalysisViews, TheHistogramOpenAlreadyBeepsAroundAWaitThatAPressCuts) {
  ProcessingFixture f(20, 20);
  test::TestClock clock;
  EXPECT_EQ(OpenHistogram(*f.state, f.host, clock), ViewOpening::Opened);
  EXPECT_EQ(f.host.beeps, 0);
  EXPECT_EQ(OpenHistogram(*f.state, f.host, clock), ViewOpening::AlreadyOpen);
  EXPECT_EQ(f.host.beeps, 2);
  f.host.pendingInput.keyPressed = true;
  EXPECT_EQ(OpenHistogram(*f.state, f.host, clock), ViewOpening::AlreadyOpen);
  EXPECT_EQ(f.host.beeps, 5);
  CloseHistogram(*f.state);
  EXPECT_EQ(OpenHistogram(*f.state, f.host, clock), ViewOpening::Opened);
}

TEST(AnalysisViews, FinishingThePixelValuesShowsFullColourAgain) {
  ProcessingFixture f(20, 20);
  EXPECT_EQ(OpenPixelValues(*f.state), ViewOpening::Opened);
  f.state->display.channelView = 'R';
  ClosePixelValues(*f.state, f.host);
  EXPECT_FALSE(f.state->analysis.values.open);
  EXPECT_EQ(f.state->display.channelView, 'N');
}

}  // namespace
}  // namespace qv
