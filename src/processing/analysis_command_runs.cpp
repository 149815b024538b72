#include "processing/analysis_command_runs.h"

#include <algorithm>

#include "app/arg_reader.h"
#include "app/display_rebuild.h"
#include "processing/histogram_view.h"
#include "processing/intensity_plots.h"
#include "processing/photometry.h"
#include "processing/pixel_values.h"

namespace qv {

namespace {

constexpr long kLargestCoordinate = 1'000'000;

struct Position {
  long x = 0, y = 0;
};

// "X,Y": two whole numbers.
Position ReadPosition(ArgReader& r, std::string_view key) {
  const std::string text = r.text(key);
  if (!r.ok()) return {};
  const auto comma = text.find(',');
  const auto x = comma == std::string::npos ? std::nullopt : ParseWholeNumber(std::string_view(text).substr(0, comma));
  const auto y = comma == std::string::npos ? std::nullopt : ParseWholeNumber(std::string_view(text).substr(comma + 1));
  if (!x || !y || *x < 0 || *y < 0 || *x > kLargestCoordinate || *y > kLargestCoordinate) {
    r.fail(std::string(key) + " must be X,Y (two whole numbers from 0)");
    return {};
  }
  return {*x, *y};
}

bool HasImage(CommandContext& c, const CommandArgs& args) {
  if (c.state.geometry.width > 0 && c.state.geometry.height > 0) return true;
  c.err << args.name << ": there is no image to measure\n";
  return false;
}

}  // namespace

// The histogram of the last painted picture; without one the picture is
// built first, as the window shows one before the dialog can open.
CommandStatus RunHistogram(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  if (!c.state.display.hasBitmap() && RebuildDisplay(c.state, c.host) != BitmapWriteResult::Ok) {
    return CommandStatus::Refused;
  }
  MeasurePaintBlackLevel(c.state);
  const HistogramPicture picture = BuildHistogramPicture(c.state.images.displayHistogram);
  c.out << picture.listing << "heights=";
  for (std::size_t level = 0; level < picture.heights.size(); ++level) {
    c.out << (level ? "," : "") << picture.heights[level];
  }
  c.out << '\n';
  return CommandStatus::Done;
}

CommandStatus RunPhotometry(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const Position object = ReadPosition(r, "object");
  const Position comparison = ReadPosition(r, "comparison");
  const Position background = ReadPosition(r, "background");
  const long radius = r.integer("radius", 0, 8, kPhotometryOpeningRadius);
  if (r.ok() && std::find(kPhotometryRadii.begin(), kPhotometryRadii.end(), radius) == kPhotometryRadii.end()) {
    r.fail("radius must be 0, 2, 3, 4, 6 or 8");
  }
  if (!r.proceed()) return r.status();
  if (!HasImage(c, args)) return CommandStatus::Refused;

  // Measured as three clicks of the dialog, on a copy: every box is checked
  // before anything is shown.
  PhotometryPicks picks;
  OpenPhotometry(picks);
  ChoosePhotometryRadius(picks, static_cast<int>(radius));
  const std::pair<char, Position> clicks[] = {{'o', object}, {'c', comparison}, {'b', background}};
  for (const auto& [choice, at] : clicks) {
    ChoosePhotometryMeasure(picks, choice);
    if (!RecordPhotometryClick(picks, c.state.images, c.state.geometry, c.host, static_cast<int>(at.x),
                               static_cast<int>(at.y))) {
      return CommandStatus::Refused;
    }
  }
  const PhotometryFields f = PhotometryDisplay(picks, c.state.display.blackLevel);
  c.out << "object=" << f.objectMean << "\ncomparison=" << f.comparisonMean << "\nbackground=" << f.background
        << "\nmagnitude=" << f.magnitude << '\n';
  return CommandStatus::Done;
}

CommandStatus RunRowPlot(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long row = r.integer("row", 0, kLargestCoordinate, kDefaultPlotRow);
  if (!r.proceed()) return r.status();
  if (!HasImage(c, args)) return CommandStatus::Refused;
  if (row >= c.state.geometry.height) {
    c.err << args.name << ": row " << row << " is outside the " << c.state.geometry.height << "-row frame\n";
    return CommandStatus::Refused;
  }
  c.out << "row=" << row << '\n';
  for (const PlotPoint& p : RowPlotPoints(c.state.images.workImage, c.state.geometry, static_cast<int>(row))) {
    c.out << p.x << ' ' << p.y << '\n';
  }
  return CommandStatus::Done;
}

CommandStatus RunPlot3d(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  if (!HasImage(c, args)) return CommandStatus::Refused;
  for (const Plot3dTrace& trace : Plot3dTraces(c.state.images.workImage, c.state.geometry)) {
    c.out << "k=" << trace.k << " row=" << trace.row << " x0=" << trace.points.front().x << " y=";
    for (std::size_t i = 0; i < trace.points.size(); ++i) c.out << (i ? "," : "") << trace.points[i].y;
    c.out << '\n';
  }
  return CommandStatus::Done;
}

CommandStatus RunShowValues(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long x = r.integer("x", 0, kLargestCoordinate);
  const long y = r.integer("y", 0, kLargestCoordinate);
  if (!r.proceed()) return r.status();
  const FrameGeometry& g = c.state.geometry;
  if (!PointerInsideFrame(g, static_cast<int>(x), static_cast<int>(y))) {
    c.err << args.name << ": (" << x << ", " << y << ") is not inside the " << g.width << " x " << g.height
          << " frame (two pixels from its edges)\n";
    return CommandStatus::Refused;
  }
  const PixelValues v = PixelValuesAt(c.state.images, g, static_cast<int>(x), static_cast<int>(y));
  c.out << "x=" << v.x << "\ny=" << v.y << "\nR=" << v.red << "\nG=" << v.green << "\nB=" << v.blue
        << "\nLum=" << LuminanceText(v) << '\n';
  return CommandStatus::Done;
}

}  // namespace qv
