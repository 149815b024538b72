#include "app/program_state.h"
#include "camera/camera_commands.h"
#include "camera/usb_link.h"

namespace qv {

bool ConnectCamera(ProgramState& state, UsbBus& bus, Host& host, Clock& clock) {
  UsbLink& link = state.camera.link;
  if (link.cameraAttached) return true;
  EnumerationRecord record;
  UsbSearchContext context{state.settings, state.camera, state.geometry, state.paths, host};
  OpenCameraDevice(link, bus, context, record);
  if (!link.filterWheelAttached) OpenFilterWheelDevice(link, bus, state.settings, host, clock);
  if (!link.cameraAttached) {
    ShowPlainBox(host, "Sorry, No camera found on USB");
    return false;
  }
  // The camera is there even when its version cannot be read: the failed
  // transfer has been shown, and the version decides only the cooler.
  static_cast<void>(ReadFirmwareVersion(state, host));
  return true;
}

}  // namespace qv
