#pragma once
// Drives an operation to its end without a window: sleeps on the clock until
// each wake-up, passes on the presses the host reports, and steps it.

#include <functional>
#include <optional>

#include "app/clock.h"
#include "app/host.h"
#include "app/operation.h"

namespace qv {

// Hands each press in `events` to the operation. Returns the time of the
// step that acts on them when they end the operation's wait.
std::optional<std::uint32_t> DeliverInput(Operation& operation, const InputEvents& events, std::uint32_t nowMs);

// For a host that stands for a user pressing at known times: when the next
// press comes, if one is still to come.
using NextPressMs = std::function<std::optional<std::uint32_t>()>;

// Starts `operation` and runs it until it finishes. Before each step the
// host's pending presses are delivered (a headless host reports none, a
// scripted one can stand for the user). With `nextPress` a wait also ends
// at the next press, so the press reaches the operation when it is made.
void RunOperation(Operation& operation, Clock& clock, Host& host, const NextPressMs& nextPress = {});

}  // namespace qv
