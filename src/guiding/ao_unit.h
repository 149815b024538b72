#pragma once
// The adaptive-optics unit: 7-byte packets (command, direction, five digits)
// over its serial route, or 4-bit codes on the autoguider socket in AO Mode;
// the step counters it keeps, the mount bump when the element runs far from
// centre, and the way back to centre.

#include <cstdint>
#include <string_view>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"
#include "guiding/telescope_commands.h"

namespace qv {

inline constexpr int kAoBumpLimit = 50;
inline constexpr std::uint32_t kAoBumpGapMs = 700;

// The AO unit's direction letters: T east, N north, S south, W west.
char AoLetter(SkyDirection direction);
// The socket codes in AO Mode: east 7, north 11, south 13, west 14; 15 releases.
std::uint8_t AoSocketCode(SkyDirection direction);

// Sends one packet: its first byte on the socket in AO Mode, else on the AO
// route followed by 50 ms; a packet starting with "H" must come back echoed
// ("Return from AO - " and false otherwise).
[[nodiscard]] bool WriteAoPacket(ProgramState& state, Host& host, Clock& clock, std::string_view packet);

// Moves the element `count` steps; on the serial route the counters follow
// and the mount is bumped when they run past +/-50.
[[nodiscard]] bool AoStep(ProgramState& state, Host& host, Clock& clock, SkyDirection direction, int count);
// Bumps the mount toward the element's offset, at most once per 700 ms.
[[nodiscard]] bool MountBump(ProgramState& state, Host& host, Clock& clock);
// Re-centres the element ("K", or 15 then 0 on the socket); counters to 0.
[[nodiscard]] bool CentreAo(ProgramState& state, Host& host, Clock& clock);
// Steps the element back by its counters, one packet per axis.
[[nodiscard]] bool ReturnAoToCentre(ProgramState& state, Host& host, Clock& clock);

}  // namespace qv
