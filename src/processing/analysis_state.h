#pragma once
// What the analysis views (histogram, photometry, row plot, 3-D plot, pixel
// values) keep between a click or pointer move and their next redraw. None of
// them changes the image.

#include <cstdint>
#include <functional>

namespace qv {

inline constexpr int kPhotometryOpeningRadius = 4;
inline constexpr int kDefaultPlotRow = 250;

struct PhotometryPoint {
  int x = 0, y = 0;
  std::int32_t sum = 0;  // total of the image values over the box
};

// The photometry picks: the mouse mode stores a click for the current choice
// (RecordPhotometryClick) and the pointer position (RecordPhotometryPointer);
// the photometry dialog shows them.
struct PhotometryPicks {
  bool open = false;  // the photometry mode: the dialog is up and clicks measure
  int radius = kPhotometryOpeningRadius;
  char choice = 'o';  // 'o' object, 'c' comparison, 'b' background
  PhotometryPoint object, comparison, background;
  // Set once "Background" has been chosen since the mode opened; until then
  // the background field shows the display's black level.
  bool backgroundChosen = false;
  int pointerX = 0, pointerY = 0;
  std::uint16_t pointerValue = 0;
  // Called after every stored click or pointer move; the dialog redraws.
  std::function<void()> changed;
};

struct PixelValues {
  int x = 0, y = 0;
  std::uint16_t red = 0, green = 0, blue = 0;  // 0 unless the image is colour converted
  std::uint16_t luminance = 0;                 // the image value
};

struct PixelValuesView {
  bool open = false;  // the values mode: pointer moves refresh the dialog
  PixelValues values;
  std::function<void()> changed;
};

struct RowPlotView {
  bool open = false;  // the row plot mode: a click picks the plotted row
  int row = kDefaultPlotRow;
  std::function<void()> changed;
};

struct AnalysisState {
  bool histogramOpen = false;
  bool plot3dOpen = false;
  PhotometryPicks photometry;
  RowPlotView rowPlot;
  PixelValuesView values;
};

}  // namespace qv
