#include "processing/intensity_plots.h"

#include <algorithm>

namespace qv {

namespace {

constexpr int kPlot3dRowStep = 8;
constexpr int kPlot3dBinnedRowStep = 4;

int Height(std::uint16_t value) { return value / kPlotValueScale; }

std::uint16_t Pixel(const std::uint16_t* image, const FrameGeometry& geometry, int row, int column) {
  return image[static_cast<std::size_t>(row) * static_cast<std::size_t>(geometry.width) +
               static_cast<std::size_t>(column)];
}

}  // namespace

int PlotColumn(const FrameGeometry& geometry, int point) {
  return static_cast<int>(static_cast<long long>(point) * geometry.width / kPlotPoints);
}

int RowPlotRow(const FrameGeometry& geometry, int row) { return std::clamp(row, 0, std::max(geometry.height - 1, 0)); }

std::vector<PlotPoint> RowPlotPoints(const std::uint16_t* image, const FrameGeometry& geometry, int row) {
  std::vector<PlotPoint> points;
  if (geometry.width <= 0 || geometry.height <= 0) return points;
  row = RowPlotRow(geometry, row);
  points.reserve(kPlotPoints + 1);
  points.push_back({kRowPlotStartX, kRowPlotBase});
  for (int j = 0; j < kPlotPoints; ++j) {
    points.push_back({j + kRowPlotFirstX, kRowPlotBase - Height(Pixel(image, geometry, row, PlotColumn(geometry, j)))});
  }
  return points;
}

int Plot3dRow(const FrameGeometry& geometry, int k) {
  return k * (geometry.binned ? kPlot3dBinnedRowStep : kPlot3dRowStep);
}

std::vector<Plot3dTrace> Plot3dTraces(const std::uint16_t* image, const FrameGeometry& geometry) {
  std::vector<Plot3dTrace> traces;
  if (geometry.width <= 0 || geometry.height <= 0) return traces;
  traces.reserve(kPlot3dTraceCount);
  int x0 = kPlot3dFirstX;
  for (int k = kPlot3dFirstTrace; k <= kPlot3dLastTrace; ++k, --x0) {
    Plot3dTrace trace;
    trace.k = k;
    trace.row = Plot3dRow(geometry, k);
    // A frame lower than the plot's rows ends the plot at its last row.
    if (trace.row >= geometry.height) break;
    trace.points.reserve(kPlotPoints);
    trace.rising.reserve(kPlotPoints);
    int previous = 0;
    for (int j = 0; j < kPlotPoints; ++j) {
      const int h = Height(Pixel(image, geometry, trace.row, PlotColumn(geometry, j)));
      trace.points.push_back({x0 + j, k + kPlot3dBase - h});
      trace.rising.push_back(j > 0 && h > previous);
      previous = h;
    }
    traces.push_back(std::move(trace));
  }
  return traces;
}

}  // namespace qv
