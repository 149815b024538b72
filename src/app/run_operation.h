#pragma once
// Drives an operation to its end without a window: sleeps on the clock until
// each wake-up, passes on the presses the host reports, and steps it.

#include "app/clock.h"
#include "app/host.h"
#include "app/operation.h"

namespace qv {

// Hands each press in `events` to the operation.
void DeliverInput(Operation& operation, const InputEvents& events);

// Starts `operation` and runs it until it finishes. Before each step the
// host's pending presses are delivered (a headless host reports none, a
// scripted one can stand for the user).
void RunOperation(Operation& operation, Clock& clock, Host& host);

}  // namespace qv
