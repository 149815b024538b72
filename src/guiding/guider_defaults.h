#pragma once
// The guider dialog's "Change Defaults": the guider drive's rates, backlash
// and hysteresis, checked before anything is stored so the settings file
// always loads again.

#include <string>

#include "app/program_settings.h"

namespace qv {

inline constexpr int kMostBacklash = 30;    // whole pixels; the settings file refuses more
inline constexpr int kMostHysteresis = 20;  // hundreds of milliseconds

struct GuiderDriveValues {
  int raRate = 1, decRate = 1;
  int raBacklash = 0, decBacklash = 0;
  int raHysteresis = 0, decHysteresis = 0;
};

// Rates 1 to 32767 and backlash 0 to 30 or nothing is stored and the problem
// is returned; hysteresis is clamped to 0..20 as entered. Empty on success.
std::string ChangeGuiderDefaults(ProgramSettings& settings, const GuiderDriveValues& values);

}  // namespace qv
