#pragma once
// The program's start-up: settings, camera model, frame geometry and the
// start-up picture. No device is opened here.

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

void RunStartup(ProgramState& state, Host& host);

}  // namespace qv
