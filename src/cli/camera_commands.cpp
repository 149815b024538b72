// Camera, guider channel, cooler, filter wheel and serial relay commands.

#include <charconv>
#include <cstdio>
#include <fstream>
#include <optional>

#include "app/run_operation.h"
#include "camera/camera_commands.h"
#include "camera/device_bus.h"
#include "camera/filter_cooler.h"
#include "camera/usb_link.h"
#include "cli/cli_commands.h"

namespace qv {

namespace {

std::optional<long> ParseNumber(const std::string& text) {
  long value = 0;
  const char* end = text.data() + text.size();
  if (text.empty() || std::from_chars(text.data(), end, value).ptr != end) return std::nullopt;
  return value;
}

// An integer option within [low, high]; `fallback` when absent. Nothing (after
// a message) when it is not a number in range.
std::optional<long> IntOption(CliContext& c, const CliCommand& command, std::string_view key, long low, long high,
                              std::optional<long> fallback = std::nullopt) {
  const std::string* text = command.option(key);
  if (!text) {
    if (!fallback) c.err << command.name << ": give " << key << "=N\n";
    return fallback;
  }
  const auto value = ParseNumber(*text);
  if (!value || *value < low || *value > high) {
    c.err << command.name << ": " << key << " must be a number from " << low << " to " << high << '\n';
    return std::nullopt;
  }
  return value;
}

bool Connected(CliContext& c) {
  return ConnectCamera(c.state, *DeviceBus(c.state, c.clock), c.host, c.clock);
}

// The exposure of a single frame as the exposure sequence times it: the
// camera times up to 1000 ms itself, longer ones are waited out here.
void WaitExposure(CliContext& c, long exposureMs) {
  WaitComputerTimedExposure(c.clock, static_cast<std::uint32_t>(exposureMs));
}

bool CameraOpen(CliContext& c, const CliCommand&) {
  if (!Connected(c)) return false;
  c.out << "camera " << c.state.camera.model.name << " PID " << c.state.settings.cameraPid.view() << '\n';
  return true;
}

bool CameraInfo(CliContext& c, const CliCommand&) {
  if (!Connected(c)) return false;
  const CameraState& camera = c.state.camera;
  char version[32];
  std::snprintf(version, sizeof version, "%d.%d", camera.firmware.w1, camera.firmware.w0);
  c.out << "model=" << camera.model.name << "\npid=" << c.state.settings.cameraPid.view() << "\nfirmware=" << version
        << "\ncooler=" << (camera.coolerAvailable ? "available" : "not available")
        << "\nfilterwheel=" << (camera.link.filterWheelAttached ? "attached" : "none")
        << "\nfilterPositions=" << c.state.settings.filterCount << '\n';
  return true;
}

bool Firmware(CliContext& c, const CliCommand&) {
  if (!Connected(c)) return false;
  const bool ok = ReadFirmwareVersion(c.state, c.host);
  char version[32];
  std::snprintf(version, sizeof version, "%d.%d", c.state.camera.firmware.w1, c.state.camera.firmware.w0);
  c.out << version << '\n';
  return ok;
}

bool Clear(CliContext& c, const CliCommand&) { return Connected(c) && ClearSensor(c.state, c.host); }

bool Readout(CliContext& c, const CliCommand& command) {
  const auto mode = IntOption(c, command, "mode", 1, 5);
  const auto exposure = IntOption(c, command, "exposure-ms", 1, 3'600'000);
  if (!mode || !exposure || !Connected(c)) return false;
  SetGeometryForReadout(c.state, static_cast<int>(*mode));
  bool ok = ClearSensor(c.state, c.host);
  WaitExposure(c, *exposure);
  ok = ReadFrame(c.state, c.host, static_cast<int>(*mode), static_cast<std::uint32_t>(*exposure)) && ok;
  c.state.images.focusPreview = 0;
  c.state.images.guideView = 0;
  c.host.requestRebuildDisplay();
  c.out << "frame " << c.state.geometry.width << 'x' << c.state.geometry.height << " mode code "
        << c.state.camera.readoutModeCode << '\n';
  return ok;
}

bool GuideBox(CliContext& c, const CliCommand& command) {
  const auto exposure = IntOption(c, command, "exposure-ms", 1, 3'600'000);
  const auto bin = IntOption(c, command, "bin-focus", 0, 1, 0);
  if (!exposure || !bin || !Connected(c)) return false;
  bool ok = ClearSensor(c.state, c.host);
  WaitExposure(c, *exposure);
  ok = ReadGuideBox(c.state, c.host, static_cast<std::uint32_t>(*exposure), *bin == 1) && ok;
  c.state.images.focusPreview = 1;
  c.host.requestRebuildDisplay();
  c.out << "guide box at " << c.state.camera.guideBoxOriginX << ',' << c.state.camera.guideBoxOriginY << '\n';
  return ok;
}

bool WritePgm(const std::string& path, const std::uint16_t* pixels, int width, int height) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "P5\n" << width << ' ' << height << "\n65535\n";
  for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
    const char bytes[2] = {static_cast<char>(pixels[i] >> 8), static_cast<char>(pixels[i] & 0xFF)};
    out.write(bytes, 2);
  }
  return static_cast<bool>(out);
}

bool GuiderFrame(CliContext& c, const CliCommand& command) {
  const auto exposure = IntOption(c, command, "exposure-ms", 1, 3'600'000);
  const auto binned = IntOption(c, command, "binned", 0, 1, c.state.settings.guiderBin2x2 ? 1 : 0);
  if (!exposure || !binned || !Connected(c)) return false;
  c.state.settings.guiderBin2x2 = *binned == 1;
  bool ok = FlushGuider(c.state, c.host);
  c.clock.sleepMs(static_cast<std::uint32_t>(*exposure));
  ok = ReadGuiderFrame(c.state, c.host, static_cast<std::uint32_t>(*exposure)) && ok;
  const int columns = GuiderColumns(c.state.settings);
  if (const std::string* pgm = command.option("pgm")) {
    if (!WritePgm(*pgm, c.state.images.guideImage, columns, kGuiderRows)) {
      c.err << "guider-frame: cannot write " << *pgm << '\n';
      return false;
    }
  } else {
    // The guider frame becomes the current image, for a later save or export.
    const std::size_t pixels = static_cast<std::size_t>(columns) * kGuiderRows;
    std::copy_n(c.state.images.guideImage, pixels, c.state.images.workImage);
    c.state.geometry.binned = 0;
    SetFrameSize(c.state.geometry, columns, kGuiderRows);
    c.host.requestRebuildDisplay();
  }
  c.out << "guider frame " << columns << 'x' << kGuiderRows << (*binned ? " binned" : "") << '\n';
  return ok;
}

void PrintCooler(CliContext& c) {
  const CameraState& camera = c.state.camera;
  c.out << "cooling=" << (camera.coolingOn ? "on" : "off") << " setpoint=" << c.state.settings.derived.coolerSetpointC
        << " temperature=" << camera.actualTemperatureC << '\n';
}

bool Cooler(CliContext& c, const CliCommand& command) {
  const auto on = IntOption(c, command, "on", 0, 1, -1);
  const auto setpoint = IntOption(c, command, "setpoint", -1000, 1000, -1000);
  const auto maximum = IntOption(c, command, "max", 0, 1, -1);
  if (!on || !setpoint || !maximum || !Connected(c)) return false;
  if (!c.state.camera.coolerAvailable) {
    c.err << "cooler: this camera has no cooler control\n";
    return false;
  }
  if (*maximum >= 0) SetMaximumCooling(c.state, *maximum == 1);
  if (*setpoint != -1000 && !MoveSetpoint(c.state, c.host, static_cast<int>(*setpoint))) {
    c.err << "cooler: the set point stays at " << kMaximumCoolingSetpointC << " in maximum cooling\n";
  }
  // "Cooling On" is a toggle: press it until the state asked for holds, as
  // far as the rules let it change.
  if (*on >= 0 && c.state.camera.coolingOn != (*on == 1)) ToggleCooling(c.state);
  const bool ok = UpdateCooler(c.state, c.host);
  PrintCooler(c);
  return ok;
}

bool CoolerRead(CliContext& c, const CliCommand&) {
  if (!Connected(c)) return false;
  const bool ok = UpdateCooler(c.state, c.host);
  PrintCooler(c);
  return ok;
}

// The command-line tool has no mouse: the monitor ends after the asked time,
// as if the button had been pressed then.
class TimedMonitorHost final : public Host {
 public:
  TimedMonitorHost(CliContext& c, int rounds) : c_(c), rounds_(rounds) {}
  int showMessage(const MessageBoxRequest& box) override { return c_.host.showMessage(box); }
  void openProgress(std::string_view caption) override { c_.host.openProgress(caption); }
  void setProgress(int position) override { c_.host.setProgress(position); }
  void closeProgress() override { c_.host.closeProgress(); }
  void setWaitCursor(bool on) override { c_.host.setWaitCursor(on); }
  void beep() override { c_.host.beep(); }
  InputEvents pumpEvents() override {
    InputEvents events = c_.host.pumpEvents();
    if (rounds_-- <= 0) events.leftButtonPressed = true;
    return events;
  }
  void requestRebuildDisplay() override { c_.host.requestRebuildDisplay(); }
  void requestRepaint() override { PrintCooler(c_); }

 private:
  CliContext& c_;
  int rounds_;
};

bool CoolerMonitor(CliContext& c, const CliCommand& command) {
  const auto seconds = IntOption(c, command, "seconds", 1, 86'400);
  if (!seconds || !Connected(c)) return false;
  TimedMonitorHost host(c, static_cast<int>(*seconds * 1000 / kMonitorIntervalMs));
  CoolerMonitorOperation monitor(c.state, host);
  RunOperation(monitor, c.clock, host);
  return true;
}

bool Filter(CliContext& c, const CliCommand& command) {
  if (command.positional.size() != 1) {
    c.err << "filter: give first, next, prev or a position\n";
    return false;
  }
  if (!Connected(c)) return false;
  const std::string& how = command.positional[0];
  bool ok = false;
  if (how == "first") {
    ok = FilterFirst(c.state, c.host, c.clock);
  } else if (how == "next") {
    ok = FilterNext(c.state, c.host, c.clock);
  } else if (how == "prev") {
    ok = FilterPrev(c.state, c.host, c.clock);
  } else {
    const auto p = ParseNumber(how);
    if (!p || *p < 1 || *p > c.state.settings.filterCount) {
      c.err << "filter: position must be from 1 to " << c.state.settings.filterCount << '\n';
      return false;
    }
    c.state.camera.filterPosition = static_cast<int>(*p);
    ok = SelectFilter(c.state, c.host, c.clock);
  }
  const int p = c.state.camera.filterPosition;
  if (p > kWheelCodedPositions) c.err << "filter: position " << p << " has no wheel command; nothing was sent\n";
  c.out << "filter " << p << ' ' << c.state.settings.filterNames[static_cast<std::size_t>(p - 1)].view() << '\n';
  return ok;
}

bool GuideOutputs(CliContext& c, const CliCommand& command) {
  const auto bits = IntOption(c, command, "bits", 0, 255);
  return bits && Connected(c) && SetGuideOutputs(c.state, c.host, static_cast<std::uint8_t>(*bits));
}

bool SerialWriteCommand(CliContext& c, const CliCommand& command) {
  const auto port = IntOption(c, command, "port", 0, 2);
  const std::string* text = command.option("text");
  if (!text) c.err << "serial-write: give text=...\n";
  if (!port || !text || !Connected(c)) return false;
  return SerialWrite(c.state, c.host, static_cast<int>(*port), std::string_view(*text));
}

bool SerialReadCommand(CliContext& c, const CliCommand& command) {
  const auto port = IntOption(c, command, "port", 0, 2);
  const auto count = IntOption(c, command, "count", 1, 256);
  if (!port || !count || !Connected(c)) return false;
  const bool ok = SerialRead(c.state, c.host, static_cast<int>(*port), static_cast<std::size_t>(*count));
  const std::uint8_t* reply = c.state.camera.link.reply.data();
  std::string text;
  for (long i = 0; i < *count && reply[i] != 0; ++i) text.push_back(static_cast<char>(reply[i]));
  c.out << text << '\n';
  return ok;
}

}  // namespace

void AddCameraCommands(std::vector<CliCommandSpec>& commands) {
  commands.insert(commands.end(), {
      {"camera-open", "",
       "Search the USB bus (or the simulated devices) for the camera and the filter wheel, read the\n"
       "firmware version. Later camera commands open the camera themselves when needed.",
       CameraOpen},
      {"camera-info", "", "Print the camera model, PID, firmware version, cooler and filter wheel.", CameraInfo},
      {"firmware", "", "Read and print the camera's firmware version.", Firmware},
      {"clear", "", "Clear the sensor.", Clear},
      {"readout", "mode=1..5 exposure-ms=N",
       "Clear, expose and read a frame into the image: 1 full resolution, 2 binned 2x2, 3 binned 3x3,\n"
       "4 binned 4x4, 5 the user sub-frame. Up to 1000 ms the camera times the exposure.",
       Readout},
      {"guide-box", "exposure-ms=N [bin-focus=0|1]",
       "Clear, expose and read the 128 x 128 guide box into the first pixels of the image.", GuideBox},
      {"guider-frame", "exposure-ms=N [binned=0|1] [pgm=FILE]",
       "Expose and read the guider sensor; the frame becomes the image, or goes to FILE as a 16-bit PGM.",
       GuiderFrame},
      {"cooler", "[on=0|1] [setpoint=N] [max=0|1]",
       "Cooling On, the set point (-40 to 35) and Set Maximum Cooling, then send them to the camera\n"
       "and print the temperature. In maximum cooling the set point stays -40 and cooling stays on.",
       Cooler},
      {"cooler-read", "", "Send the cooler command and print the temperature.", CoolerRead},
      {"cooler-monitor", "seconds=N", "Monitor the cooler every half second for N seconds.", CoolerMonitor},
      {"filter", "first|next|prev|N",
       "Move the filter wheel (USB wheel, else the serial relay on the serial port setting).\n"
       "Positions above 7 have no wheel command: nothing is sent.",
       Filter},
      {"guide-outputs", "bits=N", "Set the four guide outputs (1, 2, 4, 8; 0 releases all).", GuideOutputs},
      {"serial-write", "port=0..2 text=TEXT", "Send TEXT out of the camera's serial port.", SerialWriteCommand},
      {"serial-read", "port=0..2 count=N", "Read N bytes from the camera's serial port and print them.",
       SerialReadCommand},
  });
}

}  // namespace qv
