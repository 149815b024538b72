#include "guiding/guider_dialog_fields.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "app/image_store.h"
#include "app/messages.h"
#include "app/settings_file.h"
#include "camera/camera_commands.h"
#include "camera/device_bus.h"
#include "camera/usb_link.h"
#include "guiding/find_centre.h"
#include "guiding/guider_defaults.h"
#include "guiding/guider_exposure.h"
#include "guiding/telescope_commands.h"

namespace qv {

namespace {

constexpr int kFirstValue[3] = {5, 5, 1};  // hundredths, tenths, seconds

// The dialog's changes are saved as they are made; they stay in force when
// the file cannot be written, and the user is told.
void Save(ProgramState& state, Host& host) {
  if (SaveSettings(state.settings, state.paths) != SettingsStatus::Ok) ShowMessage(host, 24);
}

std::int16_t Rate(int value) { return static_cast<std::int16_t>(std::clamp(value, 1, 32767)); }

template <std::size_t N>
void Exchange(std::array<char, N>& letters, std::size_t a, std::size_t b) {
  std::swap(letters[a], letters[b]);
}

std::string Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

bool OpenGuiderCamera(ProgramState& state, Host& host, Clock& clock) {
  if (!ConnectCamera(state, *DeviceBus(state, clock), host, clock)) return false;
  return PrepareTelescope(state, host, clock, false);
}

void ChooseGuiderUnit(ProgramState& state, char unit) {
  if (!GuiderExposureMaximum(unit)) return;
  const int index = unit == 'h' ? 0 : unit == 't' ? 1 : 2;
  state.guiding.guiderExposure = {unit, kFirstValue[index]};
}

void StepGuiderExposure(ProgramState& state, int delta) {
  GuiderExposure& e = state.guiding.guiderExposure;
  e.value = std::clamp(e.value + delta, 1, GuiderExposureMaximum(e.unit).value_or(1));
}

bool SetGuiderExposureValue(ProgramState& state, long value) {
  GuiderExposure& e = state.guiding.guiderExposure;
  if (value < 1 || value > GuiderExposureMaximum(e.unit).value_or(0)) return false;
  e.value = static_cast<int>(value);
  return true;
}

void SetGuiderStretch(ProgramState& state, int value) {
  state.guiding.guiderDialog.image.stretchValue = std::clamp(value, kGuiderStretchMin, kGuiderStretchMax);
}

void BeginGuiderStarSelection(ProgramState& state) { state.guiding.guiderDialog.selectingStar = true; }

int GuiderFrameLeft(const ProgramSettings& settings) {
  constexpr int kMargin = 10;
  return (ImageStore::kGuideColumns - GuiderColumns(settings)) / 2 + kMargin;
}

bool ClickGuiderFrame(ProgramState& state, Host& host, int x, int y) {
  GuidingState& g = state.guiding;
  if (!g.guiderDialog.selectingStar) return false;
  g.guiderDialog.selectingStar = false;
  if (FindCentre(state, host, x, y, CentreSource::GuiderCamera)) g.guiderStarChosen = true;
  return true;
}

void ToggleGuiderUseTrained(ProgramState& state) {
  GuiderTraining& t = state.guiding.guiderTraining;
  t.useTrained = t.trained && !t.useTrained;
}

std::string UseTrainedButtonText(const GuiderTraining& t) {
  if (!t.trained) return "Use Default";
  return t.useTrained ? "Use Defaults" : "Use Trained";
}

std::string UsingValsText(bool trained, bool useTrained) {
  return trained && useTrained ? "Using Trained Vals" : "Using Default Vals";
}

std::string ChangeGuiderDefaultFields(ProgramState& state, Host& host, const GuiderDefaultFields& f) {
  ProgramSettings& s = state.settings;
  const std::string problem = ChangeGuiderDefaults(
      s, {f.raRate, f.decRate, f.raBacklash, f.decBacklash, s.guiderRaHysteresis, s.guiderDecHysteresis});
  if (!problem.empty()) return problem;
  s.guiderDefault5 = static_cast<float>(f.raAngle);
  Save(state, host);
  return {};
}

void SaveLatestGuiderValues(ProgramState& state, Host& host) {
  ProgramSettings& s = state.settings;
  const GuiderTraining& t = state.guiding.guiderTraining;
  // Before any training there is no latest value to copy.
  if (!t.trained) return;
  s.guiderRaRate = Rate(t.raMagnitude);
  s.guiderDecRate = Rate(t.decMagnitude);
  // A trained backlash above what the file accepts would make the next load
  // give up on every later setting.
  s.guiderRaBacklash = static_cast<std::int16_t>(std::clamp(t.raBacklash, 0, kMostBacklash));
  s.guiderDecBacklash = static_cast<std::int16_t>(std::clamp(t.decBacklash, 0, kMostBacklash));
  s.guiderDefault5 = t.theta;
  Save(state, host);
}

void ToggleGuiderOption(ProgramState& state, Host& host, GuiderToggle toggle) {
  ProgramSettings& s = state.settings;
  GuiderDialogState& d = state.guiding.guiderDialog;
  switch (toggle) {
    case GuiderToggle::IgnoreBacklash:
      s.ignoreBacklash = !s.ignoreBacklash;
      break;
    case GuiderToggle::IgnoreRaAngle:
      s.ignoreRaAngle = !s.ignoreRaAngle;
      break;
    case GuiderToggle::SwapNorthSouth:
      Exchange(s.driveDirections, 0, 1);
      break;
    case GuiderToggle::SwapEastWest:
      Exchange(s.driveDirections, 2, 3);
      break;
    case GuiderToggle::AoSwapUpDown:
      Exchange(s.aoSwapUpDown, 0, 1);
      break;
    case GuiderToggle::AoSwapLeftRight:
      Exchange(s.aoSwapLeftRight, 0, 1);
      break;
    case GuiderToggle::MountSwapNorthSouth:
      Exchange(s.mountNorthSouth, 0, 1);
      break;
    case GuiderToggle::MountSwapEastWest:
      Exchange(s.mountEastWest, 0, 1);
      break;
    case GuiderToggle::AoMode:
      s.aoMode = !s.aoMode;
      break;
    case GuiderToggle::GuidanceMode:
      s.guidanceMode = s.guidanceMode == 'A' ? 'T' : 'A';
      break;
    case GuiderToggle::Bin2x2:
      if (s.guiderCameraType != 's') {
        host.showMessage({std::string(kMessageCaption), std::string(kBrindleCannotBin), MessageIcon::None});
        s.guiderBin2x2 = false;
        return;
      }
      s.guiderBin2x2 = !s.guiderBin2x2;
      break;
    case GuiderToggle::ClearCamera:
      s.guiderClearCamera = !s.guiderClearCamera;
      break;
    // Run state only: nothing to save.
    case GuiderToggle::ApplyDark:
      state.guiding.guiderDark.apply = !state.guiding.guiderDark.apply && state.guiding.guiderDark.taken;
      return;
    case GuiderToggle::MedianFilter:
      d.image.medianFilter = !d.image.medianFilter;
      return;
    case GuiderToggle::Stretch:
      d.image.stretch = !d.image.stretch;
      return;
    case GuiderToggle::Pause:
      d.image.pauseBetweenFrames = !d.image.pauseBetweenFrames;
      return;
    case GuiderToggle::AoUseTrained:
      d.aoUseTrained = d.aoTrained && !d.aoUseTrained;
      return;
  }
  Save(state, host);
}

bool GuiderOptionChecked(const ProgramState& state, GuiderToggle toggle) {
  const ProgramSettings& s = state.settings;
  const GuiderDialogState& d = state.guiding.guiderDialog;
  switch (toggle) {
    case GuiderToggle::IgnoreBacklash:
      return s.ignoreBacklash;
    case GuiderToggle::IgnoreRaAngle:
      return s.ignoreRaAngle;
    case GuiderToggle::SwapNorthSouth:
      return s.driveDirections[0] == 's';
    case GuiderToggle::SwapEastWest:
      return s.driveDirections[2] == 'w';
    case GuiderToggle::AoSwapUpDown:
      return s.aoSwapUpDown[0] == 's';
    case GuiderToggle::AoSwapLeftRight:
      return s.aoSwapLeftRight[0] == 'w';
    case GuiderToggle::MountSwapNorthSouth:
      return s.mountNorthSouth[0] == 'S';
    case GuiderToggle::MountSwapEastWest:
      return s.mountEastWest[0] == 'W';
    case GuiderToggle::AoMode:
      return s.aoMode;
    case GuiderToggle::GuidanceMode:
      return s.guidanceMode == 'A';
    case GuiderToggle::Bin2x2:
      return s.guiderBin2x2;
    case GuiderToggle::ClearCamera:
      return s.guiderClearCamera;
    case GuiderToggle::ApplyDark:
      return state.guiding.guiderDark.apply;
    case GuiderToggle::MedianFilter:
      return d.image.medianFilter;
    case GuiderToggle::Stretch:
      return d.image.stretch;
    case GuiderToggle::Pause:
      return d.image.pauseBetweenFrames;
    case GuiderToggle::AoUseTrained:
      return d.aoUseTrained;
  }
  return false;
}

void ChooseAoPort(ProgramState& state, Host& host, int choice) {
  if (choice != 0 && choice != 1 && choice != 3) return;
  state.settings.aoPortChoice = static_cast<std::int16_t>(choice);
  Save(state, host);
}

std::string ChangeAoDefaults(ProgramState& state, Host& host, int upDown, int leftRight) {
  if (upDown < 1 || leftRight < 1 || upDown > 32767 || leftRight > 32767) {
    return "The AO rates must be at least 1 step per pixel";
  }
  state.settings.aoDefault2 = static_cast<std::int16_t>(upDown);
  state.settings.aoDefault1 = static_cast<std::int16_t>(leftRight);
  Save(state, host);
  return {};
}

void SaveLatestAoRates(ProgramState& state, Host& host) {
  ProgramSettings& s = state.settings;
  s.aoDefault1 = Rate(s.aoLatest1);
  s.aoDefault2 = Rate(s.aoLatest2);
  Save(state, host);
}

std::vector<std::pair<int, std::string>> GuiderDialogFields(const ProgramState& state) {
  const ProgramSettings& s = state.settings;
  const GuidingState& g = state.guiding;
  const GuiderTraining& t = g.guiderTraining;
  const GuiderDialogState& d = g.guiderDialog;
  const auto n = [](auto v) { return std::to_string(static_cast<int>(v)); };
  // The "Latest" column stays empty until a training has measured it.
  const auto latest = [&](auto v) { return t.trained ? n(v) : std::string(); };
  using T = GuiderToggle;
  const auto on = [&state](T toggle) { return Flag(GuiderOptionChecked(state, toggle)); };
  return {
      {811, Flag(g.guiderExposure.unit == 'h')},
      {812, Flag(g.guiderExposure.unit == 't')},
      {813, Flag(g.guiderExposure.unit == 's')},
      {814, n(g.guiderExposure.value)},
      {816, n(d.image.stretchValue)},
      {820, n(g.guiderStarChosen ? g.guiderStar.x : 0)},
      {821, n(g.guiderStarChosen ? g.guiderStar.y : 0)},
      {826, on(T::Pause)},
      {832, UsingValsText(t.trained, t.useTrained)},
      {833, UseTrainedButtonText(t)},
      {861, n(s.guiderRaRate)},
      {862, n(s.guiderDecRate)},
      {863, n(s.guiderRaBacklash)},
      {864, n(s.guiderDecBacklash)},
      {865, n(s.guiderDefault5)},
      {866, latest(t.raMagnitude)},
      {867, latest(t.decMagnitude)},
      {868, latest(t.raBacklash)},
      {869, latest(t.decBacklash)},
      {870, latest(t.theta)},
      {873, on(T::IgnoreBacklash)},
      {875, on(T::SwapNorthSouth)},
      {876, on(T::SwapEastWest)},
      {885, on(T::IgnoreRaAngle)},
      {913, GuiderDarkText(g.guiderDark)},
      {914, on(T::ApplyDark)},
      {916, on(T::MedianFilter)},
      {917, on(T::Stretch)},
      {925, n(s.aoDefault2)},
      {926, n(s.aoDefault1)},
      {927, n(s.aoLatest2)},
      {928, n(s.aoLatest1)},
      {931, on(T::AoSwapUpDown)},
      {932, on(T::AoSwapLeftRight)},
      {938, UsingValsText(d.aoTrained, d.aoUseTrained)},
      {940, s.guidanceMode == 'A' ? "AO Unit" : "Telescope Drives"},
      {942, s.aoMode ? "Parallel" : "Serial"},
      {943, Flag(s.aoPortChoice == 1)},
      {944, Flag(s.aoPortChoice == 0)},
      {945, Flag(s.aoPortChoice == 3)},
      {946, on(T::MountSwapNorthSouth)},
      {947, on(T::MountSwapEastWest)},
      {2439, on(T::Bin2x2)},
      {2440, on(T::ClearCamera)},
  };
}

std::string GuiderDialogField(const ProgramState& state, int id) {
  for (auto& [field, text] : GuiderDialogFields(state)) {
    if (field == id) return text;
  }
  return {};
}

}  // namespace qv
