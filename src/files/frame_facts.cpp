#include "files/frame_facts.h"

#include "camera/camera_commands.h"
#include "files/autosave.h"
#include "files/file_geometry.h"

namespace qv {

namespace {

int GeometryModeOfReadout(int readoutMode) {
  if (readoutMode == kFullResolution) return kGeometryFull;
  return readoutMode == kUserSubFrame ? kGeometrySubFrame : kGeometryBinned;
}

bool WheelInUse(const ProgramState& state) {
  return state.settings.filterWheelFitted || state.camera.link.filterWheelAttached;
}

}  // namespace

void RecordReadoutFacts(ProgramState& state, int readoutMode, std::time_t start, double exposureSeconds) {
  SetGeometryMode(state, GeometryModeOfReadout(readoutMode));
  FrameFacts& facts = state.files.frameFacts;
  facts = FrameFacts{};
  facts.source = FrameSource::Readout;

  // The temperature counts only when something has read it: the cooler is
  // on, or its monitor runs with the cooler off.
  const CameraState& camera = state.camera;
  if (camera.model.hasCooler && camera.coolerAvailable) {
    if (camera.coolingOn || camera.monitoring) facts.ccdTemperatureC = camera.actualTemperatureC;
    if (camera.coolingOn) facts.setTemperatureC = state.settings.derived.coolerSetpointC;
  }

  FitsHeaderInfo& info = state.settings.fits;
  info.exposureSeconds = exposureSeconds;
  const ObservationTime observed = FormatObservationTime(start);
  info.dateObs = observed.date;
  info.timeObs = observed.time;
  const int index = camera.filterPosition - 1;
  if (WheelInUse(state) && index >= 0 && index < static_cast<int>(state.settings.filterNames.size())) {
    info.filterName = state.settings.filterNames[static_cast<std::size_t>(index)].view();
  }
}

void StampObservationMiddle(ProgramState& state, std::time_t start, std::time_t end) {
  const ObservationTime observed = FormatObservationTime(start + (end - start) / 2);
  state.settings.fits.dateObs = observed.date;
  state.settings.fits.timeObs = observed.time;
}

void FileReplacesFrameFacts(ProgramState& state) {
  state.files.frameFacts = FrameFacts{};
  state.files.frameFacts.source = FrameSource::File;
  state.files.frameKind = FrameKind::Unknown;
}

bool FrameHasObservationTime(const ProgramState& state) {
  const FitsHeaderInfo& info = state.settings.fits;
  return state.files.frameFacts.source != FrameSource::None && !info.dateObs.empty() && !info.timeObs.empty();
}

}  // namespace qv
