#include "files/autosave.h"

#include <cstdio>
#include <filesystem>

#include "app/messages.h"
#include "app/settings_file.h"
#include "files/fits_file.h"
#include "files/frame_facts.h"

namespace qv {

std::uint16_t NextAutosaveNumber(std::uint16_t counter) {
  return counter > kLastAutosaveNumber ? 1 : static_cast<std::uint16_t>(counter + 1);
}

std::string AutosaveFilePath(const ProgramState& state, int number) {
  return NativePath(state.paths, state.settings.derived.autosaveDirectory) + "/IMG" + std::to_string(number) + ".FIT";
}

ObservationTime FormatObservationTime(std::time_t when) {
  std::tm ut{};
  ::gmtime_r(&when, &ut);
  char time[16];
  char date[32];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", ut.tm_hour, ut.tm_min, ut.tm_sec);
  std::snprintf(date, sizeof date, "20%02d-%02d-%02d", ut.tm_year % 100, ut.tm_mon + 1, ut.tm_mday);
  return {time, date};
}

int AutosaveFits(ProgramState& state, Host& host, Clock& clock, const std::uint16_t* source) {
  ProgramSettings& settings = state.settings;
  ApplyTimeZone(settings);
  std::error_code ec;
  std::filesystem::create_directories(NativePath(state.paths, settings.derived.autosaveDirectory), ec);

  // Never overwrite an earlier image: after a counter reset or the wrap the
  // counter moves on to the next free number.
  std::uint16_t counter = settings.lastFileNumber;
  counter = NextAutosaveNumber(counter);
  for (int tries = 0; tries < kLastAutosaveNumber && std::filesystem::exists(AutosaveFilePath(state, counter), ec);
       ++tries) {
    counter = NextAutosaveNumber(counter);
  }
  settings.lastFileNumber = counter;

  // A frame keeps the observation time it came with (the middle of its
  // exposure, or its file's); only a frame without one is dated now.
  if (!FrameHasObservationTime(state)) {
    const ObservationTime observed = FormatObservationTime(clock.now());
    settings.fits.timeObs = observed.time;
    settings.fits.dateObs = observed.date;
  }

  settings.fits.eightBit = 0;
  if (WriteFitsFile(state, host, AutosaveFilePath(state, counter), source) != FitsWriteResult::Ok) return 1;
  return static_cast<int>(SaveSettings(settings, state.paths));
}

int QuickSaveFits(ProgramState& state, Host& host, Clock& clock) {
  ResetBufferPointers(state.images);
  WaitCursor wait(host);
  const int result = AutosaveFits(state, host, clock, state.images.workImage);
  if (result == 1) ShowMessage(host, 29);
  return result;
}

}  // namespace qv
