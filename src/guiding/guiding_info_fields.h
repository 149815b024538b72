#pragma once
// The guiding dialogs' model: the numbers shown after each correction, the
// caption while guider guiding starts, and the star-movement plot (one pixel
// of drift is ten plot pixels; a drift of 4.4 pixels or more is off the
// plot and gets no marker).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/program_state.h"
#include "guiding/main_guiding.h"

namespace qv {

inline constexpr std::string_view kGuiderGuidingCaption = "AutoGuider Camera Guiding";
inline constexpr std::size_t kRmsFrames = 20;  // the RMS shown covers this many frames
inline constexpr std::uint32_t kBumpShownMs = 2500;

// The plot square, its centre (the reference) and the marker.
struct PlotPoint {
  int x = 0, y = 0;
  [[nodiscard]] bool operator==(const PlotPoint&) const = default;
};
inline constexpr int kPlotLeft = 528, kPlotTop = 48, kPlotSide = 100;
inline constexpr PlotPoint kPlotCentre{578, 98};
inline constexpr int kPlotAxisReach = 50;
inline constexpr int kPlotTickStep = 10;
inline constexpr int kMarkerArm = 7;
inline constexpr int kMarkerLimit = 4400;  // thousandths of a pixel
inline constexpr std::string_view kPlotScaleText = "-5          0         +5          Pixels";

// Where the marker goes for the errors (thousandths of a pixel): nothing
// unless both are below 4400 in size.
std::optional<PlotPoint> DriftMarker(int columnError, int rowError);
// The tick marks' distances from the centre along each axis: 10 to 40 each side.
std::vector<int> PlotTickOffsets();

// The reference a guided frame was measured against: its star moved back by
// the frame's drift (the drift is kept unturned, to a tenth of a pixel).
StarPosition ReferenceOf(const GuideFrameRecord& frame);

// "Guiding Info - Creating Guiding Frame" until the reference is measured,
// "Guiding Info - stabilising" for the next two frames, then "Guiding Info".
std::string GuiderGuidingStage(bool referenceTaken, std::size_t framesCorrected);

// The guider guiding dialog's fields by control id (918 to 923, 925 to
// 927); `nowMs` decides whether the last mount bump
// still shows.
std::vector<std::pair<int, std::string>> GuiderGuidingFields(const ProgramState& state,
                                                             const std::vector<GuideFrameRecord>& frames,
                                                             std::uint32_t nowMs);
// "RMS 0.27 px (last 20 frames)", or "RMS -" before the first frame.
std::string RmsText(const std::vector<GuideFrameRecord>& frames);

// The main-camera guiding dialog: 101, 102 the star's column and row,
// 103, 104 the errors scaled for display.
std::vector<std::pair<int, std::string>> MainGuidingFields(const ProgramState& state);

}  // namespace qv
