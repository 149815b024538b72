#include "camera/camera_command_runs.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/arg_reader.h"
#include "app/forwarding_host.h"
#include "app/run_operation.h"
#include "camera/camera_commands.h"
#include "camera/device_bus.h"
#include "camera/filter_cooler.h"
#include "camera/usb_link.h"
#include "files/file_io.h"
#include "files/frame_facts.h"

namespace qv {

namespace {

// Opens the camera on first use, through the bus chosen at start-up.
bool Connected(CommandContext& c) { return ConnectCamera(c.state, *DeviceBus(c.state, c.clock), c.host, c.clock); }

CommandStatus Result(bool ok) { return ok ? CommandStatus::Done : CommandStatus::Refused; }

// The exposure of a single frame as the exposure sequence times it: the
// camera times up to 1000 ms itself, longer ones are waited out here.
void WaitExposure(CommandContext& c, long exposureMs) {
  WaitComputerTimedExposure(c.clock, static_cast<std::uint32_t>(exposureMs));
}

void PrintFirmware(CommandContext& c) {
  char version[32];
  std::snprintf(version, sizeof version, "%d.%d", c.state.camera.firmware.w1, c.state.camera.firmware.w0);
  c.out << version;
}

// A 16-bit PGM, written whole under a temporary name and renamed over the
// target, so a failed write keeps the old file.
bool WritePgm(const std::string& path, const std::uint16_t* pixels, int width, int height) {
  const std::string header = "P5\n" + std::to_string(width) + ' ' + std::to_string(height) + "\n65535\n";
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> bytes(header.begin(), header.end());
  bytes.reserve(header.size() + 2 * count);
  for (std::size_t i = 0; i < count; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(pixels[i] >> 8));
    bytes.push_back(static_cast<std::uint8_t>(pixels[i] & 0xFF));
  }
  return ReplaceFileWith(path, bytes);
}

void PrintCooler(CommandContext& c) {
  const CameraState& camera = c.state.camera;
  c.out << "cooling=" << (camera.coolingOn ? "on" : "off") << " setpoint=" << c.state.settings.derived.coolerSetpointC
        << " temperature=" << camera.actualTemperatureC << '\n';
}

// The command-line tool has no mouse: the monitor ends after the asked time,
// as if the button had been pressed then.
class TimedMonitorHost final : public ForwardingHost {
 public:
  TimedMonitorHost(CommandContext& c, int rounds) : ForwardingHost(c.host), c_(c), rounds_(rounds) {}
  InputEvents pumpEvents() override {
    InputEvents events = ForwardingHost::pumpEvents();
    if (rounds_-- <= 0) events.leftButtonPressed = true;
    return events;
  }
  void requestRepaint() override { PrintCooler(c_); }

 private:
  CommandContext& c_;
  int rounds_;
};

}  // namespace

CommandStatus RunCameraOpen(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  if (!Connected(c)) return CommandStatus::Refused;
  c.out << "camera " << c.state.camera.model.name << " PID " << c.state.settings.cameraPid.view() << '\n';
  return CommandStatus::Done;
}

CommandStatus RunCameraInfo(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  if (!Connected(c)) return CommandStatus::Refused;
  const CameraState& camera = c.state.camera;
  c.out << "model=" << camera.model.name << "\npid=" << c.state.settings.cameraPid.view() << "\nfirmware=";
  PrintFirmware(c);
  c.out << "\ncooler=" << (camera.coolerAvailable ? "available" : "not available")
        << "\nfilterwheel=" << (camera.link.filterWheelAttached ? "attached" : "none")
        << "\nfilterPositions=" << c.state.settings.filterCount << '\n';
  return CommandStatus::Done;
}

CommandStatus RunFirmware(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  if (!Connected(c)) return CommandStatus::Refused;
  const bool ok = ReadFirmwareVersion(c.state, c.host);
  PrintFirmware(c);
  c.out << '\n';
  return Result(ok);
}

CommandStatus RunClearSensor(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  return Result(Connected(c) && ClearSensor(c.state, c.host));
}

CommandStatus RunReadout(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long mode = r.integer("mode", 1, 5);
  const long exposure = r.integer("exposure-ms", 1, 3'600'000);
  if (!r.proceed()) return r.status();
  if (!Connected(c)) return CommandStatus::Refused;
  SetGeometryForReadout(c.state, static_cast<int>(mode));
  const std::time_t start = c.clock.now();
  bool ok = ClearSensor(c.state, c.host);
  WaitExposure(c, exposure);
  ok = ReadFrame(c.state, c.host, static_cast<int>(mode), static_cast<std::uint32_t>(exposure)) && ok;
  if (ok) {
    RecordReadoutFacts(c.state, static_cast<int>(mode), start, exposure * 0.001);
    StampObservationMiddle(c.state, start, c.clock.now());
  }
  c.state.images.focusPreview = 0;
  c.state.images.guideView = 0;
  c.host.requestRebuildDisplay();
  c.out << "frame " << c.state.geometry.width << 'x' << c.state.geometry.height << " mode code "
        << c.state.camera.readoutModeCode << '\n';
  return Result(ok);
}

CommandStatus RunGuideBox(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long exposure = r.integer("exposure-ms", 1, 3'600'000);
  const bool binFocus = r.flag("bin-focus", false);
  if (!r.proceed()) return r.status();
  if (!Connected(c)) return CommandStatus::Refused;
  bool ok = ClearSensor(c.state, c.host);
  WaitExposure(c, exposure);
  ok = ReadGuideBox(c.state, c.host, static_cast<std::uint32_t>(exposure), binFocus) && ok;
  c.state.images.focusPreview = 1;
  c.host.requestRebuildDisplay();
  c.out << "guide box at " << c.state.camera.guideBoxOriginX << ',' << c.state.camera.guideBoxOriginY << '\n';
  return Result(ok);
}

CommandStatus RunGuiderFrame(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long exposure = r.integer("exposure-ms", 1, 3'600'000);
  const bool binned = r.flag("binned", c.state.settings.guiderBin2x2);
  const std::string pgm = r.text("pgm", "");
  if (!r.proceed()) return r.status();
  if (!Connected(c)) return CommandStatus::Refused;
  c.state.settings.guiderBin2x2 = binned;
  bool ok = FlushGuider(c.state, c.host);
  c.clock.sleepMs(static_cast<std::uint32_t>(exposure));
  ok = ReadGuiderFrame(c.state, c.host, static_cast<std::uint32_t>(exposure)) && ok;
  const int columns = GuiderColumns(c.state.settings);
  if (!pgm.empty()) {
    if (!WritePgm(NativePath(c.state.paths, pgm), c.state.images.guideImage, columns, kGuiderRows)) {
      c.err << args.name << ": cannot write " << pgm << '\n';
      return CommandStatus::Refused;
    }
  } else {
    // The guider frame becomes the current image, for a later save or export.
    const std::size_t pixels = static_cast<std::size_t>(columns) * kGuiderRows;
    std::copy_n(c.state.images.guideImage, pixels, c.state.images.workImage);
    c.state.geometry.binned = 0;
    SetFrameSize(c.state.geometry, columns, kGuiderRows);
    c.host.requestRebuildDisplay();
  }
  c.out << "guider frame " << columns << 'x' << kGuiderRows << (binned ? " binned" : "") << '\n';
  return Result(ok);
}

CommandStatus RunCooler(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long on = r.integer("on", 0, 1, -1);
  const long setpoint = r.integer("setpoint", -1000, 1000, -1000);
  const long maximum = r.integer("max", 0, 1, -1);
  if (!r.proceed()) return r.status();
  if (!Connected(c)) return CommandStatus::Refused;
  if (!c.state.camera.coolerAvailable) {
    c.err << args.name << ": this camera has no cooler control\n";
    return CommandStatus::Refused;
  }
  if (maximum >= 0) SetMaximumCooling(c.state, maximum == 1);
  if (setpoint != -1000 && !MoveSetpoint(c.state, c.host, static_cast<int>(setpoint))) {
    c.err << args.name << ": the set point stays at " << kMaximumCoolingSetpointC << " in maximum cooling\n";
  }
  // "Cooling On" is a toggle: press it until the state asked for holds, as
  // far as the rules let it change.
  if (on >= 0 && c.state.camera.coolingOn != (on == 1)) ToggleCooling(c.state);
  const bool ok = UpdateCooler(c.state, c.host);
  PrintCooler(c);
  return Result(ok);
}

CommandStatus RunCoolerRead(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  if (!Connected(c)) return CommandStatus::Refused;
  const bool ok = UpdateCooler(c.state, c.host);
  PrintCooler(c);
  return Result(ok);
}

CommandStatus RunCoolerMonitor(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long seconds = r.integer("seconds", 1, 86'400);
  if (!r.proceed()) return r.status();
  if (!Connected(c)) return CommandStatus::Refused;
  TimedMonitorHost host(c, static_cast<int>(seconds * 1000 / kMonitorIntervalMs));
  CoolerMonitorOperation monitor(c.state, host);
  RunOperation(monitor, c.clock, host);
  return CommandStatus::Done;
}

CommandStatus RunFilter(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string how = r.single("first, next, prev or a position");
  const bool named = how == "first" || how == "next" || how == "prev";
  const auto position = named ? std::optional<long>(0) : ParseWholeNumber(how);
  if (r.ok() && (!position || *position < 0)) r.fail("give first, next, prev or a position");
  if (!r.proceed()) return r.status();
  // The number of positions is known once the wheel has been found.
  if (!Connected(c)) return CommandStatus::Refused;
  if (!named && (*position < 1 || *position > c.state.settings.filterCount)) {
    c.err << args.name << ": position must be from 1 to " << c.state.settings.filterCount << '\n';
    return CommandStatus::Refused;
  }
  bool ok = false;
  if (how == "first") {
    ok = FilterFirst(c.state, c.host, c.clock);
  } else if (how == "next") {
    ok = FilterNext(c.state, c.host, c.clock);
  } else if (how == "prev") {
    ok = FilterPrev(c.state, c.host, c.clock);
  } else {
    c.state.camera.filterPosition = static_cast<int>(*position);
    ok = SelectFilter(c.state, c.host, c.clock);
  }
  const int p = c.state.camera.filterPosition;
  if (p > kWheelCodedPositions) c.err << args.name << ": position " << p << " has no wheel command; nothing was sent\n";
  c.out << "filter " << p << ' ' << c.state.settings.filterNames[static_cast<std::size_t>(p - 1)].view() << '\n';
  return Result(ok);
}

CommandStatus RunGuideOutputs(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long bits = r.integer("bits", 0, 255);
  if (!r.proceed()) return r.status();
  return Result(Connected(c) && SetGuideOutputs(c.state, c.host, static_cast<std::uint8_t>(bits)));
}

CommandStatus RunSerialWrite(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long port = r.integer("port", 0, 2);
  const std::string text = r.text("text");
  if (!r.proceed()) return r.status();
  return Result(Connected(c) && SerialWrite(c.state, c.host, static_cast<int>(port), std::string_view(text)));
}

CommandStatus RunSerialRead(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long port = r.integer("port", 0, 2);
  const long count = r.integer("count", 1, 256);
  if (!r.proceed()) return r.status();
  if (!Connected(c)) return CommandStatus::Refused;
  const bool ok = SerialRead(c.state, c.host, static_cast<int>(port), static_cast<std::size_t>(count));
  const std::uint8_t* reply = c.state.camera.link.reply.data();
  std::string text;
  for (long i = 0; i < count && reply[i] != 0; ++i) text.push_back(static_cast<char>(reply[i]));
  c.out << text << '\n';
  return Result(ok);
}

}  // namespace qv
