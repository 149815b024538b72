#include "camera/device_bus.h"

namespace qv {

namespace {

// A bus without devices, for a run whose start-up chose none: the search
// finds no camera and says so.
class EmptyBus final : public UsbBus {
 public:
  bool listInterfaces(InterfaceClass) override { return true; }
  BusMember member(InterfaceClass, int) override { return {}; }
  std::unique_ptr<CameraTransport> openCamera(const std::string&) override { return nullptr; }
  std::unique_ptr<FilterWheelPort> openFilterWheel(const std::string&) override { return nullptr; }
};

}  // namespace

std::shared_ptr<UsbBus> DeviceBus(ProgramState& state, Clock& clock) {
  UsbLink& link = state.camera.link;
  if (!link.bus) {
    link.bus = link.makeBus ? link.makeBus(state.settings.cameraType, clock) : std::make_shared<EmptyBus>();
  }
  return link.bus;
}

}  // namespace qv
