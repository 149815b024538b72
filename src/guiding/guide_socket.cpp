#include "guiding/guide_socket.h"

#include "camera/camera_commands.h"

namespace qv {

std::uint8_t SocketBit(SkyDirection direction) {
  switch (direction) {
    case SkyDirection::West:
      return 1;
    case SkyDirection::South:
      return 2;
    case SkyDirection::North:
      return 4;
    case SkyDirection::East:
      return 8;
  }
  return 0;
}

bool SocketPulse(ProgramState& state, Host& host, Clock& clock, SkyDirection direction, std::uint32_t ms) {
  clock.sleepMs(10);
  bool ok = SetGuideOutputs(state, host, SocketBit(direction));
  if (ms > 0) SleepPreciseMs(clock, ms);
  ok = SetGuideOutputs(state, host, 0) && ok;
  clock.sleepMs(300);
  return ok;
}

bool SocketStartMove(ProgramState& state, Host& host, Clock& clock, SkyDirection direction) {
  GuidingState& g = state.guiding;
  if (g.moving) return false;
  clock.sleepMs(1);
  g.moving = true;
  return SetGuideOutputs(state, host, SocketBit(direction));
}

bool SocketStopMove(ProgramState& state, Host& host) {
  GuidingState& g = state.guiding;
  if (!g.moving) return false;
  g.moving = false;
  return SetGuideOutputs(state, host, 0);
}

void ReleaseSocketOnExit(ProgramState& state, Host& host) {
  if (state.settings.telescopeGuiding == 'b') static_cast<void>(SetGuideOutputs(state, host, 0));
}

}  // namespace qv
