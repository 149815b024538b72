#include "processing/analysis_views.h"

#include "app/display_commands.h"
#include "app/display_rebuild.h"
#include "app/messages.h"
#include "processing/photometry.h"

namespace qv {

namespace {

constexpr std::uint32_t kPressPollMs = 20;

bool StandardGeometry(const DisplayState& display) { return !display.fitToScreen && !display.centreImage; }

// The display refuses fit and centre while a click mode owns the mouse.
void UpdateMouseMode(ProgramState& state) { state.display.mouseModeActive = AnalysisMouseModeActive(state); }

}  // namespace

bool AnalysisMouseModeActive(const ProgramState& state) {
  return state.analysis.photometry.open || state.analysis.rowPlot.open || state.processing.merge.mergeMode;
}

ViewOpening OpenHistogram(ProgramState& state, Host& host, Clock& clock) {
  if (!state.analysis.histogramOpen) {
    state.analysis.histogramOpen = true;
    return ViewOpening::Opened;
  }
  host.beep();
  const std::uint32_t start = clock.milliseconds();
  while (clock.milliseconds() - start < kHistogramOpenWaitMs) {
    if (host.pumpEvents().any()) {
      host.beep();
      break;
    }
    clock.sleepMs(kPressPollMs);
  }
  host.beep();
  return ViewOpening::AlreadyOpen;
}

void CloseHistogram(ProgramState& state) { state.analysis.histogramOpen = false; }

ViewOpening OpenPhotometryView(ProgramState& state, Host& host) {
  auto& a = state.analysis;
  if (a.rowPlot.open || state.processing.merge.mergeMode) {
    ShowMessage(host, kModeConflictMessage);
    return ViewOpening::Refused;
  }
  if (!StandardGeometry(state.display)) {
    ShowMessage(host, kPhotometryGeometryMessage);
    return ViewOpening::Refused;
  }
  if (a.photometry.open) {
    ShowMessage(host, kPhotometryAlreadyMessage);
    return ViewOpening::AlreadyOpen;
  }
  OpenPhotometry(a.photometry);
  UpdateMouseMode(state);
  return ViewOpening::Opened;
}

void ClosePhotometryView(ProgramState& state) {
  state.analysis.photometry.open = false;
  UpdateMouseMode(state);
}

ViewOpening OpenRowPlot(ProgramState& state, Host& host) {
  auto& a = state.analysis;
  if (a.photometry.open || state.processing.merge.mergeMode) {
    ShowMessage(host, kModeConflictMessage);
    return ViewOpening::Refused;
  }
  if (a.plot3dOpen || a.rowPlot.open) return ViewOpening::AlreadyOpen;
  if (!StandardGeometry(state.display)) {
    ShowMessage(host, kRowPlotGeometryMessage);
    return ViewOpening::Refused;
  }
  a.rowPlot.row = kDefaultPlotRow;
  a.rowPlot.open = true;
  UpdateMouseMode(state);
  return ViewOpening::Opened;
}

void CloseRowPlot(ProgramState& state) {
  state.analysis.rowPlot.open = false;
  UpdateMouseMode(state);
}

bool PickPlotRow(ProgramState& state, int row) {
  auto& plot = state.analysis.rowPlot;
  if (!plot.open || row < 0 || row >= state.geometry.height) return false;
  plot.row = row;
  if (plot.changed) plot.changed();
  return true;
}

ViewOpening OpenPlot3d(ProgramState& state) {
  auto& a = state.analysis;
  if (a.plot3dOpen || a.rowPlot.open) return ViewOpening::AlreadyOpen;
  a.plot3dOpen = true;
  return ViewOpening::Opened;
}

void ClosePlot3d(ProgramState& state) { state.analysis.plot3dOpen = false; }

ViewOpening OpenPixelValues(ProgramState& state) {
  state.analysis.values.open = true;
  return ViewOpening::Opened;
}

void ClosePixelValues(ProgramState& state, Host& host) {
  state.analysis.values.open = false;
  static_cast<void>(SetChannelView(state.display, 'N'));  // 'N' is always taken
  RebuildDisplayFromDisplayBytes(state, host);
}

}  // namespace qv
