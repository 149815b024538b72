#pragma once
// The camera's autoguider socket: four relay lines, west 1, south 2, north 4
// and east 8, set by one camera command.

#include <cstdint>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"
#include "guiding/telescope_commands.h"

namespace qv {

std::uint8_t SocketBit(SkyDirection direction);

// 10 ms, the direction's relay for `ms`, all released, 300 ms to settle.
[[nodiscard]] bool SocketPulse(ProgramState& state, Host& host, Clock& clock, SkyDirection direction, std::uint32_t ms);
// Hand moves: a press while nothing moves holds the relay (false and nothing
// sent while moving); the release lets all go.
[[nodiscard]] bool SocketStartMove(ProgramState& state, Host& host, Clock& clock, SkyDirection direction);
[[nodiscard]] bool SocketStopMove(ProgramState& state, Host& host);

// Whatever ended a guiding run or a training: no relay is left held when the
// socket guides. A failed release has shown its error; the run ends either way.
void ReleaseSocketOnExit(ProgramState& state, Host& host);

}  // namespace qv
