#pragma once
// Opening and closing the analysis views: which may open now, the mode each
// one sets, and what closing it restores.

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"

namespace qv {

enum class [[nodiscard]] ViewOpening{Opened, AlreadyOpen, Refused};

inline constexpr int kModeConflictMessage = 35;
inline constexpr int kPhotometryGeometryMessage = 36;
inline constexpr int kPhotometryAlreadyMessage = 37;
inline constexpr int kRowPlotGeometryMessage = 38;
inline constexpr std::uint32_t kHistogramOpenWaitMs = 1000;

// "Histogram": opens unless it is open already; then the program beeps, waits
// a second (a key or click ends the wait early, with a beep) and beeps again.
ViewOpening OpenHistogram(ProgramState& state, Host& host, Clock& clock);
void CloseHistogram(ProgramState& state);

// "Photometry of Image": refused with message 35 while the row plot is open,
// 36 in the fitted or centred display, 37 while photometry runs already.
ViewOpening OpenPhotometryView(ProgramState& state, Host& host);
void ClosePhotometryView(ProgramState& state);

// "Intensity Plot of Current Row": refused with message 35 while photometry
// runs; nothing while a plot is open; 38 in the fitted or centred display.
// Plots row 250 first.
ViewOpening OpenRowPlot(ProgramState& state, Host& host);
void CloseRowPlot(ProgramState& state);
// A click on image row `row` while the row plot is open picks it.
[[nodiscard]] bool PickPlotRow(ProgramState& state, int row);

// "3-D Intensity Plot": nothing while a plot is open.
ViewOpening OpenPlot3d(ProgramState& state);
void ClosePlot3d(ProgramState& state);

// "Show Values", and "Finished": the full-colour view again, rebuilt.
ViewOpening OpenPixelValues(ProgramState& state);
void ClosePixelValues(ProgramState& state, Host& host);

// Whether a mouse mode of these views owns the mouse now.
[[nodiscard]] bool AnalysisMouseModeActive(const ProgramState& state);

}  // namespace qv
