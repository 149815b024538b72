#include "app/program_defaults.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "app/arg_reader.h"
#include "app/messages.h"
#include "app/settings_file.h"
#include "camera/device_bus.h"
#include "camera/filter_cooler.h"
#include "camera/set_camera_type.h"
#include "guiding/serial_link.h"

namespace qv {

namespace {

using R = DefaultsRadio;
using C = DefaultsCheck;

// The product id text of each model of the camera buttons.
constexpr std::array<std::string_view, 5> kModelPids = {"0612", "0611", "0615", "0616", "0614"};

bool& Flag(ProgramSettings& s, DefaultsCheck check) {
  switch (check) {
    case C::IgnoreSmallDrift:
      return s.ignoreSmallDrift;
    case C::FocusDelay:
      return s.focusDelay;
    case C::NorthCorrectionsOff:
      return s.northCorrectionsOff;
    case C::SouthCorrectionsOff:
      return s.southCorrectionsOff;
    case C::IgnoreBacklash:
      return s.ignoreBacklash;
    case C::FilterWheel:
      return s.filterWheelFitted;
    case C::UseUsbFilterWheel:
      return s.useUsbFilterWheel;
    case C::AoUnitAvailable:
      return s.aoUnitAvailable;
    case C::AoHalfRate:
      return s.aoHalfRate;
    case C::UnsignedFits:
      return s.unsignedFitsFormat;
    case C::ShowInterfaceDetails:
      return s.ShowInterfaceDetails;
    case C::PixelOffset:
      return s.pixelOffset;
    case C::LineOffset:
      return s.lineOffset;
    case C::Tiff16Bit:
      return s.tiff16Bit;
    case C::IgnoreCameraVidPid:
      return s.IgnoreCameraVidPid;
    case C::UseSavedCooling:
      return s.useSavedCooling;
    case C::MaximumCooling:
    case C::SwapNorthSouth:
    case C::SwapEastWest:
      break;
  }
  return s.maximumCooling;
}

int RadioValue(const ProgramState& state, DefaultsRadio radio) {
  const ProgramSettings& s = state.settings;
  switch (radio) {
    case R::CameraModel:
      return s.cameraType;
    case R::GuiderCamera:
      return s.guiderCameraType;
    case R::MaskRadius:
      return s.guideStarMaskRadius;
    case R::TrainingTime:
      return s.trainingSeconds;
    case R::GuiderTrainingTime:
      return s.guiderTrainingSeconds;
    case R::Background:
      return s.windowBackground;
    case R::Port:
      return s.telescopePort;
    case R::Guiding:
      return s.telescopeGuiding;
    case R::Drift:
      return s.driftThreshold;
  }
  return 0;
}

bool DirectoryUsable(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return true;
  fs::create_directories(path, ec);
  return !ec && fs::is_directory(path, ec);
}

}  // namespace

const std::vector<DefaultsRadioGroup>& DefaultsRadioGroups() {
  static const std::vector<DefaultsRadioGroup> groups = {
      {R::CameraModel,
       "camera",
       {{17230, "Qel_K1C", "K1C", 1},
        {17231, "Qel_K2C", "K2C", 2},
        {17232, "Qel_K3C", "K3C", 3},
        {17233, "Qel_K4C", "K4C", 4},
        {17234, "Qel_K5C", "K5C", 5}}},
      {R::GuiderCamera, "guiderCamera", {{17220, "Qel", "s", 's'}, {17221, "Brindle", "x", 'x'}}},
      {R::MaskRadius,
       "maskRadius",
       {{17131, "7 Pixels", "7", 7},
        {17132, "8 Pixels", "8", 8},
        {17133, "9 Pixels", "9", 9},
        {17134, "11 Pixels", "11", 11},
        {17135, "13 Pixels", "13", 13},
        {17136, "15 Pixels", "15", 15}}},
      {R::TrainingTime,
       "trainingTime",
       {{17106, "1 Sec", "1", 1}, {17107, "2 Sec", "2", 2}, {17108, "4 Sec", "4", 4}, {17109, "8 Sec", "8", 8}}},
      {R::GuiderTrainingTime,
       "guiderTrainingTime",
       {{17148, "1 Sec", "1", 1}, {17149, "2 Sec", "2", 2}, {17150, "4 Sec", "4", 4}, {17151, "8 Sec", "8", 8}}},
      {R::Background,
       "background",
       {{17118, "Lt Gray", "l", 'l'}, {17119, "Red", "r", 'r'}, {17120, "Gray", "g", 'g'}}},
      {R::Port, "port", {{17224, "Com1", "1", '1'}, {17225, "Com2", "2", '2'}, {17226, "Use PC Port", "3", '3'}}},
      {R::Guiding,
       "guiding",
       {{17128, "None", "n", 'n'}, {17129, "Meade LX200 (Tm)", "l", 'l'}, {17130, "Autoguider Socket", "b", 'b'}}},
      {R::Drift,
       "drift",
       {{17171, "1.0 pixel", "1000", 1000},
        {17172, "0.8 pixel", "800", 800},
        {17173, "0.5 pixel", "500", 500},
        {17174, "0.2 pixel", "200", 200}}},
  };
  return groups;
}

const DefaultsRadioGroup& RadioGroup(DefaultsRadio radio) {
  for (const auto& group : DefaultsRadioGroups()) {
    if (group.radio == radio) return group;
  }
  return DefaultsRadioGroups().front();
}

int CurrentChoice(const ProgramState& state, DefaultsRadio radio) {
  const auto& choices = RadioGroup(radio).choices;
  const int value = RadioValue(state, radio);
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (choices[i].value == value) return static_cast<int>(i);
  }
  return radio == R::CameraModel ? 0 : -1;
}

void ChooseCameraModel(ProgramSettings& settings, int index) {
  const auto& choices = RadioGroup(R::CameraModel).choices;
  if (index < 0 || index >= static_cast<int>(choices.size())) return;
  settings.cameraType = static_cast<std::int16_t>(choices[static_cast<std::size_t>(index)].value);
  settings.cameraPid = FixedText<5>(kModelPids[static_cast<std::size_t>(index)]);
}

void Choose(ProgramState& state, Host& host, DefaultsRadio radio, int index) {
  const auto& choices = RadioGroup(radio).choices;
  if (index < 0 || index >= static_cast<int>(choices.size())) return;
  const int value = choices[static_cast<std::size_t>(index)].value;
  ProgramSettings& s = state.settings;
  switch (radio) {
    case R::CameraModel:
      ChooseCameraModel(s, index);
      if (SetCameraType(s, state.camera, state.geometry, state.paths) != SettingsStatus::Ok) {
        ShowMessage(host, kSettingsSaveFailedMessage);
      }
      host.requestRebuildDisplay();
      break;
    case R::GuiderCamera:
      s.guiderCameraType = static_cast<char>(value);
      ApplyGuiderCameraType(s);
      break;
    case R::MaskRadius:
      s.guideStarMaskRadius = static_cast<std::int16_t>(value);
      break;
    case R::TrainingTime:
      s.trainingSeconds = value;
      break;
    case R::GuiderTrainingTime:
      s.guiderTrainingSeconds = value;
      break;
    case R::Background:
      s.windowBackground = static_cast<char>(value);
      ApplyWindowBackground(s);
      host.requestRepaint();
      break;
    case R::Port:
      s.telescopePort = static_cast<char>(value);
      ApplyTelescopePort(s);
      break;
    case R::Guiding:
      s.telescopeGuiding = static_cast<char>(value);
      break;
    case R::Drift:
      s.driftThreshold = static_cast<std::int16_t>(value);
      break;
  }
}

const std::vector<DefaultsCheckBox>& DefaultsCheckBoxes() {
  static const std::vector<DefaultsCheckBox> boxes = {
      {C::IgnoreSmallDrift, 17127, "Ignore drift Less than", "ignoreSmallDrift"},
      {C::FocusDelay, 17123, "1 sec delay when focussing", "focusDelay"},
      {C::NorthCorrectionsOff, 17175, "Turn off North Corrections", "northCorrectionsOff"},
      {C::SouthCorrectionsOff, 17176, "Turn off South Corrections", "southCorrectionsOff"},
      {C::SwapNorthSouth, 17138, "Swap n/s direction", "swapNorthSouth"},
      {C::SwapEastWest, 17139, "Swap e/w direction", "swapEastWest"},
      {C::IgnoreBacklash, 17152, "Ignore Backlash", "ignoreBacklash"},
      {C::FilterWheel, 17147, "Filter Wheel", "filterWheel"},
      {C::UseUsbFilterWheel, 17222, "Use USB Filterwheel", "useUsbFilterWheel"},
      {C::AoUnitAvailable, 17168, "AO Unit Available", "aoUnitAvailable"},
      {C::AoHalfRate, 17170, "Select half rate", "aoHalfRate"},
      {C::UnsignedFits, 17143, "Unsigned Int FITs Format", "unsignedFits", false},
      {C::ShowInterfaceDetails, 17144, "Show Interface Details", "showInterfaceDetails"},
      {C::PixelOffset, 17164, "Pixel Offset", "pixelOffset"},
      {C::LineOffset, 17165, "Line Offset", "lineOffset"},
      {C::Tiff16Bit, 17190, "Save in 16 bit Tiff format", "tiff16Bit"},
      {C::IgnoreCameraVidPid, 17194, "Ignore Camera VID/PID", "ignoreCameraVidPid"},
      {C::UseSavedCooling, 17201, "Use Saved Cooling", "useSavedCooling"},
      {C::MaximumCooling, 17223, "Set Maximum Cooling", "maximumCooling"},
  };
  return boxes;
}

bool CheckState(const ProgramState& state, DefaultsCheck check) {
  const ProgramSettings& s = state.settings;
  switch (check) {
    case C::SwapNorthSouth:
      return s.driveDirections[0] == 's';
    case C::SwapEastWest:
      return s.driveDirections[2] == 'w';
    case C::MaximumCooling:
      return s.maximumCooling;
    default:
      return Flag(const_cast<ProgramSettings&>(s), check);
  }
}

bool ClickCheck(ProgramState& state, Host& host, Clock& clock, DefaultsCheck check) {
  ProgramSettings& s = state.settings;
  switch (check) {
    case C::SwapNorthSouth:
      std::swap(s.driveDirections[0], s.driveDirections[1]);
      return true;
    case C::SwapEastWest:
      std::swap(s.driveDirections[2], s.driveDirections[3]);
      return true;
    case C::MaximumCooling:
      SetMaximumCooling(state, !s.maximumCooling);
      return true;
    case C::UseUsbFilterWheel: {
      UsbLink& link = state.camera.link;
      if (!link.filterWheelAttached) {
        auto bus = DeviceBus(state, clock);
        OpenFilterWheelDevice(link, *bus, s, host, clock);
      }
      s.useUsbFilterWheel = link.filterWheelAttached && !s.useUsbFilterWheel;
      return true;
    }
    case C::AoUnitAvailable:
      if (s.telescopeGuiding == 'n') {
        s.aoUnitAvailable = false;
        s.guidanceMode = 'T';
        ShowMessage(host, kAoNeedsGuidingMessage);
        return false;
      }
      s.aoUnitAvailable = !s.aoUnitAvailable;
      if (s.aoUnitAvailable) s.guidanceMode = 'A';
      return true;
    default: {
      bool& flag = Flag(s, check);
      flag = !flag;
      return true;
    }
  }
}

const std::array<SlewField, kSlewFieldCount>& SlewFields() {
  using K = SlewKind;
  using S = ProgramSettings;
  static const std::array<SlewField, kSlewFieldCount> fields = {{
      {17121, "raRate", K::Rate, &S::raRate},
      {17122, "decRate", K::Rate, &S::decRate},
      {17125, "raBacklash", K::Backlash, &S::raBacklash},
      {17126, "decBacklash", K::Backlash, &S::decBacklash},
      {17117, "raHysteresis", K::Hysteresis, &S::raHysteresis},
      {17137, "decHysteresis", K::Hysteresis, &S::decHysteresis},
      {17111, "guiderRaRate", K::Rate, &S::guiderRaRate},
      {17112, "guiderDecRate", K::Rate, &S::guiderDecRate},
      {17113, "guiderRaBacklash", K::Backlash, &S::guiderRaBacklash},
      {17140, "guiderDecBacklash", K::Backlash, &S::guiderDecBacklash},
      {17141, "guiderRaHysteresis", K::Hysteresis, &S::guiderRaHysteresis},
      {17142, "guiderDecHysteresis", K::Hysteresis, &S::guiderDecHysteresis},
  }};
  return fields;
}

std::int16_t HeldSlewValue(SlewKind kind, long value) {
  constexpr long kLargest = std::numeric_limits<std::int16_t>::max();
  switch (kind) {
    case SlewKind::Rate:
      return static_cast<std::int16_t>(std::clamp<long>(value, kMinRate, kLargest));
    case SlewKind::Backlash:
      return static_cast<std::int16_t>(std::clamp<long>(value, 0, kMaxBacklash));
    case SlewKind::Hysteresis:
      break;
  }
  // The hysteresis is taken off each guide pulse: below 0 it would make every
  // pulse longer than its error asks.
  return static_cast<std::int16_t>(std::clamp<long>(value, 0, kMaxHysteresis));
}

void SetSlewValues(ProgramSettings& settings, const std::array<std::optional<long>, kSlewFieldCount>& values) {
  const auto& fields = SlewFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (values[i]) settings.*(fields[i].member) = HeldSlewValue(fields[i].kind, *values[i]);
  }
}

void SetFilterDetails(ProgramSettings& settings, std::optional<long> count, const std::array<std::string, 8>& names) {
  settings.filterCount =
      static_cast<std::int16_t>(count && *count >= 1 && *count <= kMaxFilterCount ? *count : kFallbackFilterCount);
  for (std::size_t i = 0; i < names.size(); ++i) {
    settings.filterNames[i].set(std::string_view(names[i]).substr(0, kFilterNameLength));
  }
}

// The text names a folder as the user typed it. A drive letter can only be
// the data root's "c:"; a relative path lies under the data root, an
// absolute one is taken as it is.
bool SetAutosaveDirectory(ProgramState& state, Host& host, std::string_view text) {
  ProgramSettings& s = state.settings;
  text = text.substr(0, kAutosaveTextLength);
  if (text.empty()) {
    s.autosaveDirectory.set("");
    s.derived.autosaveDirectory = std::string(kDefaultAutosaveDirectory);
    return true;
  }
  std::string path;
  if (text.size() >= 2 && text[1] == ':') {
    if (text[0] != 'c' && text[0] != 'C') {
      ShowMessage(host, kInvalidDirectoryMessage);
      return false;
    }
    std::string_view rest = text.substr(2);
    path = std::string(text.substr(0, 2));
    if (rest.empty() || (rest[0] != '\\' && rest[0] != '/')) path += '\\';
    path += rest;
  } else if (text[0] == '/') {
    path = std::string(text);
  } else {
    path = "c:";
    if (text[0] != '\\') path += '\\';
    path += text;
  }
  if (path.size() > s.autosaveDirectory.kMaxLength || !DirectoryUsable(NativePath(state.paths, path))) {
    ShowMessage(host, kInvalidDirectoryMessage);
    return false;
  }
  s.autosaveDirectory.set(path);
  s.derived.autosaveDirectory = path;
  return true;
}

std::string FilterWheelStatus(const ProgramState& state) {
  const ProgramSettings& s = state.settings;
  if (!s.filterWheelFitted) return "";
  if (s.useUsbFilterWheel && state.camera.link.filterWheelAttached) return "on USB";
  // The serial wheel takes the camera port the telescope leaves free.
  return s.telescopePort == '2' ? "on Com1" : "on Com2";
}

std::string AoPortText(const ProgramSettings& settings) { return std::to_string(settings.aoComPort + 1); }

std::optional<long> FieldNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return ParseWholeNumber(text);
}

void OpenDefaults(ProgramState& state, Host& host) {
  if (LoadSettings(state.settings, state.paths, host) != SettingsStatus::Ok) {
    ShowMessage(host, kSettingsLoadFailedMessage);
  }
  RefreshDefaults(state);
}

void RefreshDefaults(ProgramState& state) {
  if (!state.camera.link.filterWheelAttached) state.settings.useUsbFilterWheel = false;
}

bool AcceptDefaults(ProgramState& state, Host& host, std::string_view autosaveText,
                    const std::array<std::optional<long>, kSlewFieldCount>& slew) {
  if (!SetAutosaveDirectory(state, host, autosaveText)) return false;
  ProgramSettings& s = state.settings;
  SetSlewValues(s, slew);
  if (s.telescopeGuiding == 'n') {
    s.aoUnitAvailable = false;
    s.guidanceMode = 'T';
  }
  return true;
}

bool FinishDefaults(ProgramState& state, Host& host, Clock& clock) {
  const bool saved = SaveSettings(state.settings, state.paths) == SettingsStatus::Ok;
  if (!saved) ShowMessage(host, kSettingsSaveFailedMessage);
  // A port that does not open has shown its error; the next use tries again.
  static_cast<void>(SetUpTelescopeLinkAgain(state, host, clock));
  host.requestRepaint();
  return saved;
}

bool SetUpTelescopeLinkAgain(ProgramState& state, Host& host, Clock& clock) {
  UsbLink& link = state.camera.link;
  // Let go of the port the old settings opened: the number may have changed.
  if (link.pcSerial && link.pcSerialOpen) link.pcSerial->close();
  link.pcSerialOpen = false;
  if (state.settings.telescopeGuiding == 'n') return true;
  // The camera's own ports are reached through the camera and need no opening.
  if (TelescopeRoute(state.settings) != kPcSerialRoute) return true;
  DeviceBus(state, clock);
  return OpenPcSerial(state, host);
}

}  // namespace qv
