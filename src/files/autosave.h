#pragma once
// Automatic saving after each exposure and "&Quick Save as FITS...": the
// running file name, the FITS file and the settings file that keeps the
// counter.

#include <cstdint>
#include <ctime>
#include <string>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kLastAutosaveNumber = 65529;  // the counter wraps to 1 after it

// The counter after `counter`: 1 above 65529, else one more.
std::uint16_t NextAutosaveNumber(std::uint16_t counter);

// Native path of IMG<number>.FIT in the autosave directory.
std::string AutosaveFilePath(const ProgramState& state, int number);

// "HH:MM:SS" and "20YY-MM-DD" of a calendar time, in Universal Time.
struct ObservationTime {
  std::string time;
  std::string date;
};
ObservationTime FormatObservationTime(std::time_t when);

// Writes `source` as the next IMG<n>.FIT. The counter skips numbers whose
// file already exists, so no earlier image is ever overwritten. A frame
// without an observation time of its own is dated by the clock. Returns 0 on
// success, 1 when the FITS file could not be written, 3 when the settings
// file could not be saved afterwards.
int AutosaveFits(ProgramState& state, Host& host, Clock& clock, const std::uint16_t* source);

// "&Quick Save as FITS...": AutosaveFits of the work image, message 29 when
// the file could not be written.
int QuickSaveFits(ProgramState& state, Host& host, Clock& clock);

}  // namespace qv
