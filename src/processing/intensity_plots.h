#pragma once
// The intensity plots: the profile of one image row and the 3-D plot of up
// to 128 rows stepped down and to the left. Both spread 696 points over the
// row and scale a value v to v / 384 pixels of height.

#include <cstdint>
#include <vector>

#include "app/frame_geometry.h"

namespace qv {

inline constexpr int kPlotPoints = 696;
inline constexpr int kPlotValueScale = 384;

// Row plot: the area (2, 2) to (668, 200), the trace from (4, 198).
inline constexpr int kRowPlotLeft = 2, kRowPlotTop = 2, kRowPlotRight = 668, kRowPlotBottom = 200;
inline constexpr int kRowPlotStartX = 4, kRowPlotBase = 198, kRowPlotFirstX = 5;

// 3-D plot: traces k = 2 to 129, the first starting at x = 135.
inline constexpr int kPlot3dFirstTrace = 2, kPlot3dLastTrace = 129;
inline constexpr int kPlot3dFirstX = 135, kPlot3dBase = 186;
inline constexpr int kPlot3dTraceCount = kPlot3dLastTrace - kPlot3dFirstTrace + 1;

struct PlotPoint {
  int x = 0, y = 0;
};

// The column of point j: the row's width spread over the 696 points (every
// second pixel of a 1392-pixel row, every pixel of a 696-pixel one).
int PlotColumn(const FrameGeometry& geometry, int point);

// The row actually plotted: the asked row held inside the frame.
int RowPlotRow(const FrameGeometry& geometry, int row);
// The start point and the 696 points of the row plot.
std::vector<PlotPoint> RowPlotPoints(const std::uint16_t* image, const FrameGeometry& geometry, int row);

struct Plot3dTrace {
  int k = 0;
  int row = 0;  // the image row shown
  std::vector<PlotPoint> points;
  // rising[i]: the segment from point i - 1 to point i goes up (first pen);
  // rising[0] is unused.
  std::vector<bool> rising;
};

// The image row of trace k: 8 k, or 4 k on a binned frame.
int Plot3dRow(const FrameGeometry& geometry, int k);
// The traces k = 2 to 129 whose rows lie inside the frame: all of them on a
// full or binned frame of 1040 or 520 rows and more, fewer on a lower one.
std::vector<Plot3dTrace> Plot3dTraces(const std::uint16_t* image, const FrameGeometry& geometry);

}  // namespace qv
