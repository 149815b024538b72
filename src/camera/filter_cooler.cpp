#include "camera/filter_cooler.h"

#include <algorithm>

#include "camera/camera_commands.h"
#include "camera/usb_link.h"

namespace qv {

bool SelectFilter(ProgramState& state, Host& host, Clock& clock) {
  CameraState& camera = state.camera;
  const int p = camera.filterPosition;
  if (p < 1 || p > kWheelCodedPositions) return false;
  UsbLink& link = camera.link;
  if (link.filterWheelAttached) {
    link.block[0] = 0;
    link.block[1] = static_cast<std::uint8_t>(0x80 + p);
    link.block[2] = 0;
    link.transferLength = 3;
    bool ok = WriteFilterWheel(link, host);
    BusyWaitMs(clock, 4);
    link.transferLength = 3;
    ok = ReadFilterWheel(link, host) && ok;  // the answer itself is not examined
    return ok;
  }
  const std::uint8_t command[4] = {0xA5, 0x01, static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(0xA6 + p)};
  const int route = state.settings.aoPortChoice;
  if (route <= kLastCameraSerialPort) return SerialWrite(state, host, route, command);
  return PcSerialWrite(state, host, command);
}

bool PcSerialWrite(ProgramState& state, Host& host, std::span<const std::uint8_t> bytes) {
  UsbLink& link = state.camera.link;
  if (!link.pcSerial && link.bus) link.pcSerial = link.bus->openPcSerialPort();
  if (link.pcSerial && !link.pcSerialOpen) {
    const int rc = link.pcSerial->open(state.settings.aoComPort);
    if (rc < 0) {
      ShowPlainBox(host, "ERROR " + std::to_string(rc) + " ");
      link.pcSerial->close();
    }
    link.pcSerialOpen = rc >= 0;
  }
  if (!link.pcSerialOpen) {
    ShowPlainBox(host, "Open Communications Failed");
    return false;
  }
  return link.pcSerial->write(bytes) == static_cast<int>(bytes.size());
}

bool FilterFirst(ProgramState& state, Host& host, Clock& clock) {
  state.camera.filterPosition = 1;
  return SelectFilter(state, host, clock);
}

bool FilterNext(ProgramState& state, Host& host, Clock& clock) {
  int& p = state.camera.filterPosition;
  p = p < state.settings.filterCount ? p + 1 : 1;
  return SelectFilter(state, host, clock);
}

bool FilterPrev(ProgramState& state, Host& host, Clock& clock) {
  int& p = state.camera.filterPosition;
  p = p >= 2 ? p - 1 : state.settings.filterCount;
  return SelectFilter(state, host, clock);
}

void ToggleCooling(ProgramState& state) {
  CameraState& camera = state.camera;
  camera.coolingOn = !(camera.coolerAvailable && camera.coolingOn && !state.settings.maximumCooling);
}

void SetMaximumCooling(ProgramState& state, bool on) {
  state.settings.maximumCooling = on;
  if (on) state.settings.derived.coolerSetpointC = kMaximumCoolingSetpointC;
}

bool MoveSetpoint(ProgramState& state, int setpointC) {
  if (state.settings.maximumCooling) return false;
  const auto value = static_cast<std::int16_t>(std::clamp(setpointC, kMaximumCoolingSetpointC, kHighestSetpointC));
  state.settings.derived.coolerSetpointC = value;
  state.settings.savedCoolingSetpoint = value;
  return true;
}

void MonitorCooler(ProgramState& state, Host& host, Clock& clock, MonitorCaption caption, void* captionContext) {
  CameraState& camera = state.camera;
  if (camera.monitoring) {
    camera.monitoring = false;
    if (caption) caption(captionContext, "Monitor");
    return;
  }
  camera.monitoring = true;
  if (caption) caption(captionContext, "Monitoring");
  while (camera.monitoring) {
    BusyWaitMs(clock, kMonitorIntervalMs);
    const InputEvents input = host.pumpEvents();
    if (input.leftButtonPressed || input.rightButtonPressed) break;
    host.setWaitCursor(true);
    UpdateCooler(state, host);
    host.requestRepaint();
    host.setWaitCursor(false);
  }
  camera.monitoring = false;
  if (caption) caption(captionContext, "Monitor");
}

}  // namespace qv
