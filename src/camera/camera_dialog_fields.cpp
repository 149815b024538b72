#include "camera/camera_dialog_fields.h"

#include <cstdio>

namespace qv {

std::string CameraModeText(const ExposureSettings& s) {
  if (s.continuous) return s.count == 1 ? "Continuous Imaging" : "Series Imaging";
  return s.count == 1 ? "Single Image" : "Auto Merging";
}

std::string CoolingModeText(const ProgramSettings& settings) {
  return settings.maximumCooling ? "Max Cooling Set" : "Adjust Cooling";
}

std::string GuiderStatusText(const ProgramState& state) {
  const bool detected = state.camera.link.cameraAttached && state.camera.model.hasGuiderChannel;
  if (detected && state.guiding.guiderGuidingRunning) return "Already Autoguiding";
  return detected ? "Guider Camera available" : "Guider Camera not detected";
}

std::string FirmwareText(const CameraState& camera) {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d", camera.firmware.w1, camera.firmware.w0);
  return text;
}

std::string TemperatureText(int celsius) {
  char text[16];
  std::snprintf(text, sizeof text, "%2d", celsius);
  return text;
}

std::string FilterNameText(const ProgramState& state) {
  const int index = state.camera.filterPosition - 1;
  if (index < 0 || index >= static_cast<int>(state.settings.filterNames.size())) return "";
  return state.settings.filterNames[static_cast<std::size_t>(index)].str();
}

std::string RangeCaption(char range) {
  switch (range) {
    case 'q':
      return "Thousandths";
    case 'h':
      return "Hundredth's";
    case 't':
      return "Tenth's";
    case 's':
      return "Seconds";
    default:
      return "Minutes";
  }
}

std::vector<std::pair<std::string, std::string>> CameraDialogFields(const ProgramState& state) {
  const ExposureSettings& s = state.camera.exposure;
  const CameraState& camera = state.camera;
  auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
  return {
      {"range", RangeCaption(s.range)},
      {"value", std::to_string(s.value)},
      {"value-maximum", std::to_string(s.maximum)},
      {"exposure-ms", std::to_string(ExposureMs(s))},
      {"count", std::to_string(s.count)},
      {"average", flag(s.average)},
      {"alternative-slew", flag(s.alternativeSlew)},
      {"auto-dark", flag(s.autoDark)},
      {"dark-file", state.files.darkFramePath},
      {"auto-flat", flag(s.autoFlat)},
      {"flat-file", state.files.flatFieldPath},
      {"auto-save", flag(s.autosave)},
      {"last-file-no", std::to_string(state.settings.lastFileNumber)},
      {"sub-dir", state.settings.autosaveDirectory.str()},
      {"delay-before", flag(s.countdown)},
      {"continuous", flag(s.continuous)},
      {"pause", std::to_string(s.pause)},
      {"pause-unit", s.pauseInMinutes ? "Minutes" : "Seconds"},
      {"auto-process", flag(s.autoProcess)},
      {"autochange", flag(s.autochange)},
      {"max-value", std::to_string(s.focusPeak)},
      {"fwhm", std::to_string(s.focusFwhm)},
      {"focus-stretch", std::to_string(s.focusStretch)},
      {"bin-focus", flag(s.binFocusFrame)},
      {"readout-mode", std::to_string(s.readoutMode)},
      {"camera-mode", CameraModeText(s)},
      {"autoguider-status", GuiderStatusText(state)},
      {"firmware", FirmwareText(camera)},
      {"filter-position", std::to_string(camera.filterPosition)},
      {"filter-name", FilterNameText(state)},
      {"actual-temperature", TemperatureText(camera.actualTemperatureC)},
      {"set-temperature", TemperatureText(state.settings.derived.coolerSetpointC)},
      {"cooling-on", flag(camera.coolingOn)},
      {"cooling-mode", CoolingModeText(state.settings)},
  };
}

}  // namespace qv
