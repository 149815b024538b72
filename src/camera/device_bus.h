#pragma once
// The bus the USB search walks. Start-up decides which devices the program
// talks to (the real USB bus, or the simulator with --simulate) by giving the
// link a maker; the bus is made on first use and kept with the link, so a
// later wheel search finds the same devices.

#include <memory>

#include "app/clock.h"
#include "app/program_state.h"

namespace qv {

// The bus for this run, made on first use; a bus without devices when
// start-up chose none.
std::shared_ptr<UsbBus> DeviceBus(ProgramState& state, Clock& clock);

}  // namespace qv
