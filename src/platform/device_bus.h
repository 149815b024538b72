#pragma once
// The bus the USB search walks: the simulated devices with --simulate, the
// real bus otherwise. Made once and kept with the link, so a later wheel
// search finds the same devices.

#include <memory>

#include "app/clock.h"
#include "app/program_state.h"

namespace qv {

std::shared_ptr<UsbBus> DeviceBus(ProgramState& state, Clock& clock);

}  // namespace qv
