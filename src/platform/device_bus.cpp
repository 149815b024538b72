#include "platform/device_bus.h"

#include "platform/linux_usb_bus.h"
#include "sim/sim_world.h"

namespace qv {

std::shared_ptr<UsbBus> DeviceBus(ProgramState& state, Clock& clock) {
  UsbLink& link = state.camera.link;
  if (!link.bus) {
    if (state.simulate) {
      link.bus = sim::MakeSimBus(std::make_shared<sim::SimWorld>(clock, state.settings.cameraType));
    } else {
      link.bus = MakeLinuxUsbBus();
    }
  }
  return link.bus;
}

}  // namespace qv
