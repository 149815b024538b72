#pragma once
// The guider camera's exposure (a value in hundredths, tenths or seconds)
// and its dark frame: taken with the current exposure, and subtracted from
// each later guider frame while "Apply DarkFrame" is on.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"
#include "guiding/guider_exposure_state.h"

namespace qv {

// The value's limits for a unit: hundredths 1 to 500, tenths 1 to 100,
// seconds 1 to 10; nothing for an unknown unit.
std::optional<int> GuiderExposureMaximum(char unit);
std::uint32_t GuiderExposureMs(const GuiderExposure& e);

// Field 913: "No darkframe has been taken", or " 5 hundredth darkframe being
// used" / "... darkframe available".
std::string GuiderDarkText(const GuiderDark& dark);

// Flush, expose, read; the dark is subtracted (not below 0) when it applies.
[[nodiscard]] bool TakeGuiderFrame(ProgramState& state, Host& host, Clock& clock, const GuiderExposure& exposure,
                                   const GuiderDark& dark);
// Subtracts the dark from the guider frame just read when it applies.
void ApplyGuiderDark(ProgramState& state, const GuiderDark& dark);
// What every guider frame goes through after its read: the dark when it
// applies, then the median filter when it is on.
void FinishGuiderFrame(ProgramState& state, const GuiderDark& dark);
// Takes a frame with the exposure and keeps it as the dark (nothing kept when
// the read fails).
[[nodiscard]] bool TakeGuiderDark(ProgramState& state, Host& host, Clock& clock, const GuiderExposure& exposure,
                                  GuiderDark& dark);

}  // namespace qv
