#pragma once
// The serial traffic log ("--trace-serial FILE"): one line per text sent or
// reply read on any serial route, the camera's ports 0 to 2 or the
// computer's own port, with non-printing bytes escaped.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qv {

struct UsbLink;

// The route as the log names it: the camera port number, or "pc".
inline constexpr int kPcSerialRoute = 3;

// `sent port=P "..."` or `recv port=P "..."`.
std::string SerialTraceLine(std::string_view direction, int route, std::span<const std::uint8_t> bytes);
// Appends the line to the link's serial log, when there is one.
void TraceSerial(const UsbLink& link, std::string_view direction, int route, std::span<const std::uint8_t> bytes);

}  // namespace qv
