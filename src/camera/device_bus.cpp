#include "camera/device_bus.h"

namespace qv {

std::shared_ptr<UsbBus> DeviceBus(ProgramState& state, Clock& clock) {
  UsbLink& link = state.camera.link;
  if (!link.bus && link.makeBus) link.bus = link.makeBus(state.settings.cameraType, clock);
  return link.bus;
}

}  // namespace qv
