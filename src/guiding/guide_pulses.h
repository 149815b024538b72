#pragma once
// Sends a guiding decision to the mount: each corrected axis with a pulse
// length above 0 is one guide pulse (LX200 in mode "l", the autoguider socket
// otherwise), with a beep before and after.

#include <string>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"
#include "guiding/guide_decision.h"

namespace qv {

// `axisPauseMs` is the pause between the column and the row (the guider
// camera waits 70 ms there; the main camera none).
[[nodiscard]] bool SendCorrection(ProgramState& state, Host& host, Clock& clock, const GuideDecision& decision,
                                  int axisPauseMs);

// What one axis's pulse puts on the wire, for showing without sending:
// "#:RG# #:Me# #:Qe#" in mode "l", "socket bits=8" otherwise.
std::string PulseBytes(const ProgramSettings& settings, char letter);

}  // namespace qv
