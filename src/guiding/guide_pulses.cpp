#include "guiding/guide_pulses.h"

#include <string_view>

#include "guiding/guide_socket.h"
#include "guiding/telescope_commands.h"

namespace qv {

namespace {

SkyDirection FromLetter(char letter) {
  return ParseSkyDirection(std::string_view(&letter, 1)).value_or(SkyDirection::North);
}

bool SendAxis(ProgramState& state, Host& host, Clock& clock, const AxisCorrection& a) {
  if (!a.pulse()) return true;
  const auto ms = static_cast<std::uint32_t>(a.durationMs);
  host.beep();
  const bool ok = state.settings.telescopeGuiding == 'l' ? LxGuidePulse(state, host, clock, a.letter, ms)
                                                         : SocketPulse(state, host, clock, FromLetter(a.letter), ms);
  host.beep();
  return ok;
}

}  // namespace

bool SendCorrection(ProgramState& state, Host& host, Clock& clock, const GuideDecision& d, int axisPauseMs) {
  if (d.skipped) return true;
  bool ok = SendAxis(state, host, clock, d.column);
  if (axisPauseMs > 0) clock.sleepMs(static_cast<std::uint32_t>(axisPauseMs));
  return SendAxis(state, host, clock, d.row) && ok;
}

std::string PulseBytes(const ProgramSettings& settings, char letter) {
  if (settings.telescopeGuiding == 'l') {
    return std::string("#:RG# #:M") + letter + "# #:Q" + letter + '#';
  }
  return "socket bits=" + std::to_string(SocketBit(FromLetter(letter)));
}

}  // namespace qv
