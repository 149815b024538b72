#include "guiding/telescope_commands.h"

#include <cstdio>
#include <cstdlib>

#include "app/messages.h"
#include "app/settings_file.h"
#include "camera/device_bus.h"
#include "camera/usb_link.h"
#include "guiding/serial_link.h"

namespace qv {

namespace {

constexpr std::uint32_t kRateSettleMs = 20;
constexpr std::uint32_t kObjectInfoWaitMs = 200;
constexpr std::uint32_t kCatalogueSlewWaitMs = 500;
constexpr std::uint32_t kCoordinateStepMs = 1;

bool Send(ProgramState& state, Host& host, Clock& clock, std::string_view text) {
  return SerialSend(state, host, clock, TelescopeRoute(state.settings), text);
}

void ShowBox(Host& host, std::string_view caption, std::string_view text) {
  host.showMessage({std::string(caption), std::string(text), MessageIcon::None});
}

std::string Command(std::string_view head, char letter) { return std::string(head) + letter + '#'; }

// Beep, "#:MS#", the wait the telescope needs, its answer.
bool Slew(ProgramState& state, Host& host, Clock& clock, std::uint32_t waitMs) {
  host.beep();
  const bool ok = Send(state, host, clock, "#:MS#");
  clock.sleepMs(waitMs);
  return ReadSlewReply(state, host) && ok;
}

}  // namespace

char DriveLetter(const ProgramSettings& settings, SkyDirection direction) {
  return settings.driveDirections[static_cast<std::size_t>(direction)];
}

char CorrectionLetter(const ProgramSettings& settings, bool rowError, int error) {
  const std::size_t index = (rowError ? 0 : 2) + (error > 0 ? 0 : 1);
  return settings.driveDirections[index];
}

char SkyLetter(SkyDirection direction) { return "nsew"[static_cast<std::size_t>(direction)]; }

std::optional<SkyDirection> ParseSkyDirection(std::string_view text) {
  if (text == "n") return SkyDirection::North;
  if (text == "s") return SkyDirection::South;
  if (text == "e") return SkyDirection::East;
  if (text == "w") return SkyDirection::West;
  return std::nullopt;
}

bool LxGuidePulse(ProgramState& state, Host& host, Clock& clock, char letter, std::uint32_t ms) {
  const std::uint32_t start = clock.milliseconds();
  bool ok = Send(state, host, clock, "#:RG#");
  const std::uint32_t spent = clock.milliseconds() - start;
  if (spent < kRateSettleMs) clock.sleepMs(kRateSettleMs - spent);
  ok = Send(state, host, clock, Command("#:M", letter)) && ok;
  if (ms > 0) SleepPreciseMs(clock, ms);
  return Send(state, host, clock, Command("#:Q", letter)) && ok;
}

void SetSlewRate(ProgramState& state, char rateLetter) { state.guiding.slewRateCommand = Command("#:R", rateLetter); }

bool StartSlew(ProgramState& state, Host& host, Clock& clock, SkyDirection direction) {
  GuidingState& g = state.guiding;
  if (g.moving) return false;
  g.moveCommand[3] = DriveLetter(state.settings, direction);
  bool ok = Send(state, host, clock, g.slewRateCommand);
  ok = Send(state, host, clock, g.moveCommand) && ok;
  g.moving = true;
  return ok;
}

bool StopSlew(ProgramState& state, Host& host, Clock& clock) {
  GuidingState& g = state.guiding;
  if (!g.moving) return false;
  bool ok = true;
  for (const char* quit : {"#:Qn#", "#:Qs#", "#:Qe#", "#:Qw#"}) ok = Send(state, host, clock, quit) && ok;
  g.moving = false;
  return ok;
}

void SetFocusSpeed(ProgramState& state, bool fast) { state.guiding.focusSpeedCommand = fast ? "#:FF#" : "#:FS#"; }

bool StartFocus(ProgramState& state, Host& host, Clock& clock, bool outward) {
  GuidingState& g = state.guiding;
  if (g.focusing) return false;
  g.focusDirectionCommand = outward ? "#:F+#" : "#:F-#";
  bool ok = Send(state, host, clock, g.focusSpeedCommand);
  ok = Send(state, host, clock, g.focusDirectionCommand) && ok;
  g.focusing = true;
  return ok;
}

bool StopFocus(ProgramState& state, Host& host, Clock& clock) {
  GuidingState& g = state.guiding;
  if (!g.focusing) return false;
  g.focusing = false;
  return Send(state, host, clock, "#:FQ#");
}

bool ReadObjectInformation(ProgramState& state, Host& host, Clock& clock) {
  const int route = TelescopeRoute(state.settings);
  const bool sent = Send(state, host, clock, "#:LI#");
  clock.sleepMs(kObjectInfoWaitMs);
  const SerialReply reply = SerialReceive(state, host, route, kTelescopeReplyBytes);
  std::string& info = state.camera.telescopeReply;
  if (route == kPcSerialRoute && !reply.ok) {
    ShowPlainBox(host, "No reply from the telescope");
    return false;
  }
  info = ReplyText(reply.bytes);
  return sent && reply.ok;
}

bool ReadSlewReply(ProgramState& state, Host& host) {
  const int route = TelescopeRoute(state.settings);
  std::string& last = state.camera.secondTelescopeReply;
  SerialReply reply = SerialReceive(state, host, route, 1);
  if (route == kPcSerialRoute) {
    // The computer's port has the whole answer at once.
    if (!reply.ok) {
      ShowPlainBox(host, "No reply from the telescope");
      return false;
    }
  } else if (reply.bytes[0] != '0') {
    // A refusal follows its first byte; a failed read goes on with what the buffer holds.
    const SerialReply rest = SerialReceive(state, host, route, kTelescopeReplyBytes);
    reply.ok = reply.ok && rest.ok;
    reply.bytes = rest.bytes;
  }
  if (reply.bytes[0] == '0') {
    last.clear();
  } else {
    last = ReplyText(reply.bytes);
  }
  return reply.ok;
}

bool GoToObject(ProgramState& state, Host& host, Clock& clock, char kind, int number) {
  state.camera.telescopeReply.clear();
  char text[16];
  std::snprintf(text, sizeof text, "#:L%c %04d#", kind, number);
  bool ok = Send(state, host, clock, text);
  ok = ReadObjectInformation(state, host, clock) && ok;
  return Slew(state, host, clock, kCatalogueSlewWaitMs) && ok;
}

bool GoToCatalogueNumber(ProgramState& state, Host& host, Clock& clock, int messier, int cngc) {
  if (messier >= 1 && messier <= kLastMessier) return GoToObject(state, host, clock, 'M', messier);
  if (cngc >= 1 && cngc <= kLastCngc) return GoToObject(state, host, clock, 'C', cngc);
  ShowBox(host, kObjectCaption, kObjectOutOfRange);
  return false;
}

std::optional<int> PlanetStarNumber(std::string_view name) {
  static constexpr std::pair<std::string_view, int> kPlanets[] = {
      {"mercury", 901}, {"venus", 902},  {"mars", 904},    {"jupiter", 905},
      {"saturn", 906},  {"uranus", 907}, {"neptune", 908}, {"pluto", 909},
  };
  for (const auto& [planet, number] : kPlanets) {
    if (planet == name) return number;
  }
  return std::nullopt;
}

std::optional<Declination> ParseDeclination(std::string_view text) {
  Declination d;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    d.negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const std::size_t star = text.find('*');
  if (star == std::string_view::npos || star == 0 || star + 1 >= text.size()) return std::nullopt;
  auto whole = [](std::string_view digits, int& out) {
    if (digits.empty() || digits.size() > 3) return false;
    out = 0;
    for (const char ch : digits) {
      if (ch < '0' || ch > '9') return false;
      out = out * 10 + (ch - '0');
    }
    return true;
  };
  if (!whole(text.substr(0, star), d.degrees) || !whole(text.substr(star + 1), d.minutes)) return std::nullopt;
  return d;
}

bool CoordinatesInRange(int hours, int minutes, const Declination& dec) {
  return hours >= 0 && hours <= 23 && minutes >= 0 && minutes <= 59 && dec.degrees >= 0 && dec.degrees <= 89 &&
         dec.minutes >= 0 && dec.minutes <= 59;
}

bool GoToCoordinates(ProgramState& state, Host& host, Clock& clock, int hours, int minutes, const Declination& dec) {
  if (!CoordinatesInRange(hours, minutes, dec)) {
    ShowBox(host, kControlTelescopeCaption, kInvalidCoordinates);
    return false;
  }
  // The set commands go without their closing "#": the "#" that starts the
  // next command ends them.
  char ra[16], de[16];
  std::snprintf(ra, sizeof ra, "#:Sr %02d:%02d.0#", hours, minutes);
  std::snprintf(de, sizeof de, "#:Sd %c%02d*%02d#", dec.negative ? '-' : '+', dec.degrees, dec.minutes);
  bool ok = Send(state, host, clock, std::string_view(ra, 12));
  ok = Send(state, host, clock, std::string_view(de, 11)) && ok;
  // The object information is read here, so that it is not later taken for
  // the answer to the slew.
  ok = ReadObjectInformation(state, host, clock) && ok;
  clock.sleepMs(kCoordinateStepMs);
  host.beep();
  ok = Send(state, host, clock, "#:MS#") && ok;
  clock.sleepMs(kCoordinateStepMs);
  return ReadSlewReply(state, host) && ok;
}

bool PrepareTelescope(ProgramState& state, Host& host, Clock& clock, bool needCamera) {
  GuidingState& g = state.guiding;
  if (!g.telescopeInitialised) {
    if (LoadSettings(state.settings, state.paths, host) != SettingsStatus::Ok) {
      ShowPlainBox(host, "Unable to load INI file, please delete and try again");
      if (SaveSettings(state.settings, state.paths) != SettingsStatus::Ok) ShowMessage(host, 24);
    }
    g.telescopeInitialised = true;
  }
  if (needCamera && !ConnectCamera(state, *DeviceBus(state, clock), host, clock)) {
    ShowPlainBox(host, "Sorry, Camera not found");
    return false;
  }
  return true;
}

}  // namespace qv
