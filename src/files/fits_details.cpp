#include "files/fits_details.h"

#include <algorithm>
#include <charconv>

#include "app/messages.h"
#include "app/settings_file.h"
#include "files/fits_header.h"

namespace qv {

namespace {

// The shortest text that reads back as the value, with a decimal point
// whatever the process locale.
std::string Number(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string Cut(const std::string& text, int chars) { return text.substr(0, static_cast<std::size_t>(chars)); }

// "%lf" of the field; the previous value when it holds no number.
double ParseOr(const std::string& text, double previous) {
  double value = previous;
  return ParseReal(Cut(text, kFitsNumberChars), value) ? value : previous;
}

}  // namespace

FitsDialogFields FitsDialogFromSettings(const ProgramSettings& settings) {
  const FitsHeaderInfo& info = settings.fits;
  FitsDialogFields f;
  f.object = info.object.str();
  f.observer = info.observer.str();
  f.date = info.dateObs.str();
  f.telescope = info.telescope.str();
  f.instrument = info.instrument.str();
  f.comment = info.commentText.str();
  f.history = info.historyText.str();
  f.origin = info.origin.str();
  f.time = info.timeObs.str();
  f.focalLength = Number(info.focalLength);
  f.aperture = Number(info.aperture);
  f.filter = info.filterName.str();
  f.exposure = Number(info.exposureSeconds);
  f.utOffsetHours = settings.utOffsetHours;
  return f;
}

void ApplyFitsDialogFields(ProgramSettings& settings, const FitsDialogFields& f) {
  FitsHeaderInfo& info = settings.fits;
  info.object = Cut(f.object, kFitsTextChars);
  info.observer = Cut(f.observer, kFitsTextChars);
  info.origin = Cut(f.origin, kFitsTextChars);
  info.telescope = Cut(f.telescope, kFitsTextChars);
  info.focalLength = ParseOr(f.focalLength, info.focalLength);
  info.aperture = ParseOr(f.aperture, info.aperture);
  info.filterName = Cut(f.filter, kFitsTextChars);
  info.instrument = Cut(f.instrument, kFitsTextChars);
  info.exposureSeconds = ParseOr(f.exposure, info.exposureSeconds);
  info.historyText = Cut(f.history, kFitsLongTextChars);
  info.commentText = Cut(f.comment, kFitsLongTextChars);
  info.dateObs = Cut(f.date, kFitsDateChars);
  info.timeObs = Cut(f.time, kFitsDateChars);
  settings.utOffsetHours = static_cast<std::int16_t>(ClampUtOffset(f.utOffsetHours));
}

int UtOffsetLineDown(int hours) { return hours >= -kUtOffsetLimit + 1 ? hours - 1 : hours; }
int UtOffsetLineUp(int hours) { return hours <= kUtOffsetLimit - 1 ? hours + 1 : hours; }
int ClampUtOffset(int hours) { return std::clamp(hours, -kUtOffsetLimit, kUtOffsetLimit); }

bool EditAutosaveFitsText(ProgramSettings& settings, const DataPaths& paths, Host& host,
                          const std::function<bool()>& runDialog) {
  if (LoadSettings(settings, paths, host) != SettingsStatus::Ok) ShowMessage(host, 23);
  settings.fits.eightBit = 0;
  if (!runDialog()) return false;
  if (SaveSettings(settings, paths) == SettingsStatus::Ok) return true;
  ShowMessage(host, 24);
  return false;
}

}  // namespace qv
