#pragma once
// Serial traffic to the telescope and the AO unit: out of one of the camera's
// three serial ports through its relay, or out of the computer's own port.
// The serial path setting picks the way (0 to 2 a camera port, 3 the
// computer's port), and "Use PC Port" sends the telescope out of the computer.

#include <cstddef>
#include <string>
#include <string_view>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"
#include "camera/serial_trace.h"

namespace qv {

inline constexpr std::size_t kPcReplyBytes = 50;
inline constexpr std::uint32_t kPcReplyTimeoutMs = 100;

// The telescope's way out: the computer's port, or camera port 0 for Com1
// and 1 otherwise.
int TelescopeRoute(const ProgramSettings& settings);
// The AO unit's way out: the serial path setting, anything above 2 being the
// computer's port.
int AoRoute(const ProgramSettings& settings);

// Sends `text`. The computer's port is opened on first use and is given
// 61 ms after each text; a text starting with "H" is answered there, and an
// answer not starting with "H" is shown.
[[nodiscard]] bool SerialSend(ProgramState& state, Host& host, Clock& clock, int route, std::string_view text);
// Sends without the computer port's echo check (the AO packets check their own).
[[nodiscard]] bool SerialSendRaw(ProgramState& state, Host& host, Clock& clock, int route, std::string_view text);

// Reads a reply: `count` bytes from a camera port (a failed transfer leaves
// what the reply buffer holds), or whatever the computer's port has received
// (up to 50 bytes, the rest then discarded). `ok` is false when nothing could
// be read.
struct SerialReply {
  bool ok = false;
  std::string bytes;
};
SerialReply SerialReceive(ProgramState& state, Host& host, int route, std::size_t count);

// A reply up to its first "#" (or zero byte), at most 33 characters.
std::string ReplyText(std::string_view bytes);

}  // namespace qv
