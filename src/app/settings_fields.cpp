#include "app/settings_fields.h"

#include "app/auto_processing_limits.h"

namespace qv {

namespace {

bool InRange(int value, int lo, int hi) { return value >= lo && value <= hi; }
bool CheckBackground(ProgramSettings& s) {
  return s.windowBackground == 'l' || s.windowBackground == 'r' || s.windowBackground == 'g';
}
bool CheckRaBacklash(ProgramSettings& s) { return InRange(s.raBacklash, 0, 30); }
bool CheckDecBacklash(ProgramSettings& s) { return InRange(s.decBacklash, 0, 30); }
bool CheckTelescopeGuiding(ProgramSettings& s) {
  if (s.telescopeGuiding == 'n' || s.telescopeGuiding == 'l' || s.telescopeGuiding == 'b') return true;
  s.telescopeGuiding = 'n';
  return false;
}
bool CheckDriveDirections(ProgramSettings& s) {
  auto eastWest = [](char c) { return c == 'e' || c == 'w'; };
  return eastWest(s.driveDirections[2]) || eastWest(s.driveDirections[3]);
}
bool CheckUserStretchLevel(ProgramSettings& s) {
  return SettingsFileAccepts(s.autoUserStretchLevel, kAutoUserPowerLimits);
}
bool CheckUnsharpRadius(ProgramSettings& s) { return SettingsFileAccepts(s.unsharpRadius, kAutoUnsharpRadiusLimits); }
bool CheckUnsharpPower(ProgramSettings& s) { return SettingsFileAccepts(s.unsharpPower, kAutoUnsharpPowerLimits); }
bool CheckGuiderRaBacklash(ProgramSettings& s) { return InRange(s.guiderRaBacklash, 0, 30); }
bool CheckGuiderDecBacklash(ProgramSettings& s) { return InRange(s.guiderDecBacklash, 0, 30); }

}  // namespace

std::vector<SettingsField> SettingsFields(ProgramSettings& s) {
  using K = FieldKind;
  using C = WriteClamp;
  std::vector<SettingsField> f;
  f.reserve(110);
  int offset = 0;
  auto add = [&](std::string_view name, int size, K kind, SettingsTarget target, C clamp = C::None,
                 bool (*check)(ProgramSettings&) = nullptr, bool repeat = false, std::string_view prefix = {}) {
    f.push_back(SettingsField{name, offset, size, kind, target, prefix, clamp, check, repeat});
    offset += size;
  };
  auto card = [&](std::string_view name, FixedText<70>& text, std::string_view prefix) {
    add(name, kCardBytes, K::Card, &text, C::None, nullptr, false, prefix);
  };
  auto longText = [&](std::string_view name, FixedText<257>& text, std::string_view prefix) {
    add(name, kCardBytes * kLongTextCards, K::LongText, &text, C::None, nullptr, false, prefix);
  };
  // The automatic processing block, stored twice.
  auto processingBlockStart = [&](bool repeat) {
    add("autoWeakStretch", 1, K::YesNo, &s.autoWeakStretch, C::None, nullptr, repeat);
    add("autoStrongStretch", 1, K::YesNo, &s.autoStrongStretch, C::None, nullptr, repeat);
  };
  auto processingBlockEnd = [&](bool repeat) {
    add("autoUserStretch", 1, K::YesNo, &s.autoUserStretch, C::None, nullptr, repeat);
    add("autoUserStretchLevel", 2, K::Int16, &s.autoUserStretchLevel, C::None, CheckUserStretchLevel, repeat);
    add("autoHighPassLowPower", 1, K::YesNo, &s.autoHighPassLowPower, C::None, nullptr, repeat);
    add("autoUnsharpMask", 1, K::YesNo, &s.autoUnsharpMask, C::None, nullptr, repeat);
    add("unsharpRadius", 2, K::Int16, &s.unsharpRadius, C::None, CheckUnsharpRadius, repeat);
    add("unsharpPower", 2, K::Int16, &s.unsharpPower, C::None, CheckUnsharpPower, repeat);
    add("autoRemoveBackground", 1, K::YesNo, &s.autoRemoveBackground, C::None, nullptr, repeat);
  };

  add("lastFileNumber", 2, K::UInt16, &s.lastFileNumber);
  add("utOffsetHours", 2, K::Int16, &s.utOffsetHours);
  add("telescopePort", 1, K::Letters, &s.telescopePort);
  add("reservedWord1", 2, K::Int16, &s.reservedWord1);
  add("guideStarMaskRadius", 2, K::Int16, &s.guideStarMaskRadius);
  add("reservedWord2", 2, K::Int16, &s.reservedWord2);
  add("windowBackground", 1, K::Letters, &s.windowBackground, C::None, CheckBackground);
  add("focusDelay", 1, K::OneZero, &s.focusDelay);
  add("raRate", 2, K::Int16, &s.raRate, C::TenFrom50);
  add("decRate", 2, K::Int16, &s.decRate, C::TenFrom50);
  add("raBacklash", 2, K::Int16, &s.raBacklash, C::TenFrom50, CheckRaBacklash);
  add("decBacklash", 2, K::Int16, &s.decBacklash, C::ZeroFrom50, CheckDecBacklash);
  add("ignoreSmallDrift", 1, K::OneZero, &s.ignoreSmallDrift);
  add("telescopeGuiding", 1, K::Letters, &s.telescopeGuiding, C::None, CheckTelescopeGuiding);
  add("exposureOption", 1, K::OneZero, &s.exposureOption);
  add("raHysteresis", 2, K::Int16, &s.raHysteresis, C::TenFrom50);
  add("decHysteresis", 2, K::Int16, &s.decHysteresis, C::TenFrom50);
  add("driveDirections", 4, K::Letters, s.driveDirections.data(), C::None, CheckDriveDirections);
  processingBlockStart(false);
  processingBlockEnd(false);
  add("reservedFlag", 1, K::LayoutMarker, &s.reservedFlag);
  card("object", s.fits.object, "OBJECT  = '");
  card("telescope", s.fits.telescope, "TELESCOP= '");
  card("instrument", s.fits.instrument, "INSTRUME= '");
  card("observer", s.fits.observer, "OBSERVER= '");
  card("origin", s.fits.origin, "ORIGIN  = '");
  longText("historyText", s.fits.historyText, "HISTORY = '");
  longText("commentText", s.fits.commentText, "COMMENT = '");
  card("filterName", s.fits.filterName, "FILTER  = '");
  add("aperture", 8, K::Double, &s.fits.aperture);
  add("focalLength", 8, K::Double, &s.fits.focalLength);
  add("unsignedFitsFormat", 1, K::AlwaysNo, &s.unsignedFitsFormat);
  add("ShowInterfaceDetails", 1, K::YesNo, &s.ShowInterfaceDetails);
  add("autosaveDirectory", 100, K::Path, &s.autosaveDirectory);
  add("guiderRaRate", 2, K::Int16, &s.guiderRaRate, C::TenFrom50);
  add("guiderDecRate", 2, K::Int16, &s.guiderDecRate, C::TenFrom50);
  add("guiderRaBacklash", 2, K::Int16, &s.guiderRaBacklash, C::TenFrom50, CheckGuiderRaBacklash);
  add("guiderDecBacklash", 2, K::Int16, &s.guiderDecBacklash, C::ZeroFrom50, CheckGuiderDecBacklash);
  add("guiderRaHysteresis", 2, K::Int16, &s.guiderRaHysteresis, C::TenFrom50);
  add("guiderDecHysteresis", 2, K::Int16, &s.guiderDecHysteresis, C::TenFrom50);
  add("ignoreBacklash", 1, K::YesNo, &s.ignoreBacklash);
  add("filterWheelFitted", 1, K::YesNo, &s.filterWheelFitted);
  add("guiderDefault5", 2, K::WholeFloat, &s.guiderDefault5);
  add("ignoreRaAngle", 1, K::YesNo, &s.ignoreRaAngle);
  add("filterCount", 2, K::Int16, &s.filterCount);
  add("filterNames", 80, K::FilterNames, &s.filterNames);
  add("lineOffset", 1, K::YesNo, &s.lineOffset);
  add("pixelOffset", 1, K::YesNo, &s.pixelOffset);
  add("autoAntiAlias", 1, K::YesNo, &s.autoAntiAlias);
  processingBlockStart(true);
  add("irFilterUsed", 1, K::YesNo, &s.irFilterUsed);
  add("colourBalanceLevel", 2, K::Int16, &s.colourBalanceLevel);
  processingBlockEnd(true);
  add("colourSmoothing", 1, K::YesNo, &s.colourSmoothing);
  add("IgnoreCameraVidPid", 1, K::YesNo, &s.IgnoreCameraVidPid);
  add("aoDefault1", 2, K::Int16, &s.aoDefault1, C::TenFrom50);
  add("aoDefault2", 2, K::Int16, &s.aoDefault2, C::TenFrom50);
  add("aoLatest1", 2, K::Int16, &s.aoLatest1, C::TenFrom50);
  add("aoLatest2", 2, K::Int16, &s.aoLatest2, C::TenFrom50);
  add("aoMode", 1, K::YesNo, &s.aoMode);
  add("aoPortChoice", 2, K::Int16, &s.aoPortChoice);
  add("guidanceMode", 1, K::Letters, &s.guidanceMode);
  add("aoSwapUpDown", 2, K::Letters, s.aoSwapUpDown.data());
  add("aoSwapLeftRight", 2, K::Letters, s.aoSwapLeftRight.data());
  add("aoUnitAvailable", 1, K::YesNo, &s.aoUnitAvailable);
  add("aoHalfRate", 1, K::YesNo, &s.aoHalfRate);
  add("aoComPort", 2, K::Int16, &s.aoComPort);
  add("mountNorthSouth", 2, K::Letters, s.mountNorthSouth.data());
  add("mountEastWest", 2, K::Letters, s.mountEastWest.data());
  add("usePcPort", 1, K::YesNo, &s.usePcPort);
  add("guiderBin2x2", 1, K::YesNo, &s.guiderBin2x2);
  add("guiderClearCamera", 1, K::YesNo, &s.guiderClearCamera);
  add("northCorrectionsOff", 1, K::YesNo, &s.northCorrectionsOff);
  add("southCorrectionsOff", 1, K::YesNo, &s.southCorrectionsOff);
  add("driftThreshold", 2, K::Int16, &s.driftThreshold);
  add("tiff16Bit", 1, K::YesNo, &s.tiff16Bit);
  add("useUsbFilterWheel", 1, K::YesNo, &s.useUsbFilterWheel);
  add("maximumCooling", 1, K::YesNo, &s.maximumCooling);
  add("cameraType", 2, K::Int16, &s.cameraType);
  add("cameraPid", 5, K::Pid, &s.cameraPid);
  add("savedCoolingSetpoint", 2, K::Int16, &s.savedCoolingSetpoint);
  add("useSavedCooling", 1, K::YesNo, &s.useSavedCooling);
  add("guiderCameraType", 1, K::Letters, &s.guiderCameraType);

  // Flags whose byte must be one of its two letters; anything else makes the
  // load rewrite the file.
  for (auto& field : f) {
    for (std::string_view name :
         {"ignoreSmallDrift", "exposureOption", "autoHighPassLowPower", "autoUnsharpMask", "autoRemoveBackground"}) {
      if (field.name == name) field.strict = true;
    }
  }
  return f;
}

}  // namespace qv
