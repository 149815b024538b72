#pragma once
// The FITS details dialog's state: the texts it shows and reads back, the
// time-difference stepping, and the commands that open it.

#include <functional>
#include <string>

#include "app/host.h"
#include "app/paths.h"
#include "app/program_settings.h"

namespace qv {

// Characters each field accepts.
inline constexpr int kFitsTextChars = 67;
inline constexpr int kFitsNumberChars = 19;
inline constexpr int kFitsLongTextChars = 254;
inline constexpr int kFitsDateChars = 11;
inline constexpr int kUtOffsetLimit = 11;

// The dialog's edit fields as text, keyed by their control ids.
struct FitsDialogFields {
  std::string object;       // 101
  std::string observer;     // 102
  std::string date;         // 103
  std::string telescope;    // 104
  std::string instrument;   // 105
  std::string comment;      // 106
  std::string history;      // 107
  std::string origin;       // 109
  std::string time;         // 110
  std::string focalLength;  // 113
  std::string aperture;     // 114
  std::string filter;       // 115
  std::string exposure;     // 116
  int utOffsetHours = 0;    // scroll bar 111, shown in 112
};

// The current values, as the dialog first shows them.
FitsDialogFields FitsDialogFromSettings(const ProgramSettings& settings);

// "Continue": every field read back, cut to its character count; a number
// that does not parse leaves the previous value.
void ApplyFitsDialogFields(ProgramSettings& settings, const FitsDialogFields& fields);

// Time-difference scroll steps, kept within -11 to 11: line down (the right
// arrow) subtracts an hour, line up (the left arrow) adds one.
int UtOffsetLineDown(int hours);
int UtOffsetLineUp(int hours);
int ClampUtOffset(int hours);

// "&Load/Edit AutoSave FITS text": reads the settings file (message 23 when
// it fails, the dialog opens anyway), clears eightBit, runs the dialog and
// saves the settings after "Continue" (message 24 when that fails).
// Returns whether "Continue" was pressed and the settings were saved.
[[nodiscard]] bool EditAutosaveFitsText(ProgramSettings& settings, const DataPaths& paths, Host& host,
                                        const std::function<bool()>& runDialog);

}  // namespace qv
