#include "guiding/ao_unit.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "camera/camera_commands.h"
#include "camera/usb_link.h"
#include "guiding/serial_link.h"

namespace qv {

namespace {

constexpr std::uint8_t kSocketReleased = 15;

std::string Packet(char command, char letter, int count) {
  char text[16];
  std::snprintf(text, sizeof text, "%c%c%.5d", command, letter, count);
  return text;
}

bool OutsideLimit(int counter) { return counter > kAoBumpLimit || counter < -kAoBumpLimit; }

// A rate from a damaged settings file may be 0 or negative; it counts as 1.
int BumpCount(std::int16_t rate, bool halfRate) {
  const int r = rate < 1 ? 1 : rate;
  return halfRate ? (400 / r) / 2 : 400 / r;
}

std::int16_t Added(std::int16_t counter, int steps) { return static_cast<std::int16_t>(counter + steps); }

}  // namespace

char AoLetter(SkyDirection direction) {
  switch (direction) {
    case SkyDirection::East:
      return 'T';
    case SkyDirection::North:
      return 'N';
    case SkyDirection::South:
      return 'S';
    case SkyDirection::West:
      return 'W';
  }
  return 'N';
}

std::uint8_t AoSocketCode(SkyDirection direction) {
  switch (direction) {
    case SkyDirection::East:
      return 7;
    case SkyDirection::North:
      return 11;
    case SkyDirection::South:
      return 13;
    case SkyDirection::West:
      return 14;
  }
  return kSocketReleased;
}

bool WriteAoPacket(ProgramState& state, Host& host, Clock& clock, std::string_view packet) {
  if (packet.empty()) return false;
  if (state.settings.aoMode) return SetGuideOutputs(state, host, static_cast<std::uint8_t>(packet[0]));
  const int route = AoRoute(state.settings);
  bool ok = SerialSendRaw(state, host, clock, route, packet);
  clock.sleepMs(50);
  if (packet[0] == 'H') {
    const SerialReply reply = SerialReceive(state, host, route, 1);
    if (reply.bytes.empty() || reply.bytes[0] != packet[0]) {
      ShowPlainBox(host, "Return from AO - " + ReplyText(reply.bytes));
      return false;
    }
    ok = ok && reply.ok;
  }
  return ok;
}

bool AoStep(ProgramState& state, Host& host, Clock& clock, SkyDirection direction, int count) {
  if (state.settings.aoMode) {
    clock.sleepMs(10);
    bool ok = SetGuideOutputs(state, host, AoSocketCode(direction));
    if (count > 0) SleepPreciseMs(clock, static_cast<std::uint32_t>(count));
    ok = SetGuideOutputs(state, host, kSocketReleased) && ok;
    clock.sleepMs(300);
    return ok;
  }
  GuidingState& g = state.guiding;
  const bool ok = WriteAoPacket(state, host, clock, Packet('G', AoLetter(direction), count));
  switch (direction) {
    case SkyDirection::East:
      g.aoEastWest = Added(g.aoEastWest, count);
      break;
    case SkyDirection::West:
      g.aoEastWest = Added(g.aoEastWest, -count);
      break;
    case SkyDirection::North:
      g.aoNorthSouth = Added(g.aoNorthSouth, count);
      break;
    case SkyDirection::South:
      g.aoNorthSouth = Added(g.aoNorthSouth, -count);
      break;
  }
  return MountBump(state, host, clock) && ok;
}

bool MountBump(ProgramState& state, Host& host, Clock& clock) {
  GuidingState& g = state.guiding;
  const ProgramSettings& s = state.settings;
  if (!OutsideLimit(g.aoNorthSouth) && !OutsideLimit(g.aoEastWest)) return true;
  const std::uint32_t now = clock.milliseconds();
  if (now - g.lastBumpMs <= kAoBumpGapMs) return true;
  g.lastBumpMs = now;
  bool ok = true;
  if (OutsideLimit(g.aoNorthSouth)) {
    const char letter = g.aoNorthSouth > kAoBumpLimit ? s.mountNorthSouth[0] : s.mountNorthSouth[1];
    g.guiderDialog.lastBumpLetter = letter;
    ok = WriteAoPacket(state, host, clock, Packet('M', letter, BumpCount(s.guiderDecRate, s.aoHalfRate))) && ok;
    clock.sleepMs(100);
  }
  if (OutsideLimit(g.aoEastWest)) {
    const char letter = g.aoEastWest > kAoBumpLimit ? s.mountEastWest[0] : s.mountEastWest[1];
    g.guiderDialog.lastBumpLetter = letter;
    ok = WriteAoPacket(state, host, clock, Packet('M', letter, BumpCount(s.guiderRaRate, s.aoHalfRate))) && ok;
    clock.sleepMs(100);
  }
  return ok;
}

bool CentreAo(ProgramState& state, Host& host, Clock& clock) {
  bool ok = true;
  if (state.settings.aoMode) {
    ok = SetGuideOutputs(state, host, kSocketReleased);
    clock.sleepMs(100);
    ok = SetGuideOutputs(state, host, 0) && ok;
  } else {
    ok = WriteAoPacket(state, host, clock, "K");
  }
  state.guiding.aoNorthSouth = state.guiding.aoEastWest = 0;
  return ok;
}

bool ReturnAoToCentre(ProgramState& state, Host& host, Clock& clock) {
  GuidingState& g = state.guiding;
  bool ok = true;
  if (g.aoNorthSouth != 0) {
    ok = WriteAoPacket(state, host, clock, Packet('G', g.aoNorthSouth < 1 ? 'N' : 'S', std::abs(g.aoNorthSouth))) && ok;
    clock.sleepMs(300);
  }
  if (g.aoEastWest != 0) {
    ok = WriteAoPacket(state, host, clock, Packet('G', g.aoEastWest < 1 ? 'T' : 'W', std::abs(g.aoEastWest))) && ok;
    clock.sleepMs(300);
  }
  g.aoNorthSouth = g.aoEastWest = 0;
  return ok;
}

}  // namespace qv
