#include "camera/filter_cooler.h"

#include <algorithm>
#include <string>

#include "app/messages.h"
#include "app/run_operation.h"
#include "app/settings_file.h"
#include "camera/camera_commands.h"
#include "camera/serial_trace.h"
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
    clock.sleepMs(4);
    link.transferLength = 3;
    ok = ReadFilterWheel(link, host) && ok;  // the answer itself is not examined
    return ok;
  }
  const std::uint8_t command[4] = {0xA5, 0x01, static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(0xA6 + p)};
  // The serial path setting picks the route: through the camera's relay, or
  // out of the computer's own port.
  if (state.settings.aoPortChoice <= kLastCameraSerialPort) {
    return SerialWrite(state, host, FilterWheelSerialPort(state.settings), command);
  }
  return PcSerialWrite(state, host, command);
}

int FilterWheelSerialPort(const ProgramSettings& settings) { return settings.telescopePort == '2' ? 0 : 1; }

bool OpenPcSerial(ProgramState& state, Host& host) {
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
  return true;
}

bool PcSerialWrite(ProgramState& state, Host& host, std::span<const std::uint8_t> bytes) {
  if (!OpenPcSerial(state, host)) return false;
  UsbLink& link = state.camera.link;
  TraceSerial(link, "sent", kPcSerialRoute, bytes);
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

bool ChooseSetpoint(ProgramSettings& settings, int setpointC) {
  if (settings.maximumCooling) return false;
  const auto value = static_cast<std::int16_t>(std::clamp(setpointC, kMaximumCoolingSetpointC, kHighestSetpointC));
  settings.derived.coolerSetpointC = value;
  settings.savedCoolingSetpoint = value;
  return true;
}

bool MoveSetpoint(ProgramState& state, Host& host, int setpointC) {
  if (!ChooseSetpoint(state.settings, setpointC)) return false;
  if (SaveSettings(state.settings, state.paths) != SettingsStatus::Ok) ShowMessage(host, 24);
  return true;
}

CoolerRead ReadCoolerForDialog(ProgramState& state, Host& host) {
  const CameraState& camera = state.camera;
  if (!camera.coolerAvailable || !camera.link.cameraAttached || camera.monitoring) return CoolerRead::Skipped;
  // A command between a run's exposure and its read-out would spoil the frame.
  if (camera.exposureRunning || state.guiding.mainGuidingRunning) return CoolerRead::Skipped;
  return UpdateCooler(state, host) ? CoolerRead::Read : CoolerRead::Failed;
}

CoolerMonitorOperation::CoolerMonitorOperation(ProgramState& state, Host& host, Caption caption)
    : state_(state), host_(host), caption_(std::move(caption)) {}

WakeTime CoolerMonitorOperation::start(std::uint32_t nowMs) {
  if (state_.camera.monitoring) return finish();
  state_.camera.monitoring = true;
  pressed_ = false;
  if (caption_) caption_("Monitoring");
  return nowMs + kMonitorIntervalMs;
}

WakeTime CoolerMonitorOperation::step(std::uint32_t nowMs) {
  // A second "Monitor" cleared the flag; a mouse press since the last step
  // ends the monitor before it refreshes again.
  if (!state_.camera.monitoring || pressed_) return finish();
  host_.setWaitCursor(true);
  const bool read = UpdateCooler(state_, host_);
  host_.requestRepaint();
  host_.setWaitCursor(false);
  // A camera that does not answer ends the monitor: its error is shown once,
  // not every half second.
  if (!read) return finish();
  return nowMs + kMonitorIntervalMs;
}

void CoolerMonitorOperation::cancel() { finish(); }

void CoolerMonitorOperation::input(OperationInput event) {
  if (event != OperationInput::KeyPress) pressed_ = true;
}

WakeTime CoolerMonitorOperation::finish() {
  state_.camera.monitoring = false;
  if (caption_) caption_("Monitor");
  return kOperationFinished;
}

void MonitorCooler(ProgramState& state, Host& host, Clock& clock, MonitorCaption caption, void* captionContext) {
  CoolerMonitorOperation::Caption show;
  if (caption) {
    show = [caption, captionContext](std::string_view text) { caption(captionContext, std::string(text).c_str()); };
  }
  CoolerMonitorOperation monitor(state, host, std::move(show));
  RunOperation(monitor, clock, host);
}

}  // namespace qv
