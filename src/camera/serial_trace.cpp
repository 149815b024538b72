#include "camera/serial_trace.h"

#include <cstdio>
#include <fstream>

#include "camera/usb_link.h"

namespace qv {

std::string SerialTraceLine(std::string_view direction, int route, std::span<const std::uint8_t> bytes) {
  std::string line(direction);
  line += " port=";
  line += route >= kPcSerialRoute ? std::string("pc") : std::to_string(route);
  line += " \"";
  for (const std::uint8_t b : bytes) {
    if (b == '"' || b == '\\') {
      line += '\\';
      line += static_cast<char>(b);
    } else if (b >= 0x20 && b < 0x7F) {
      line += static_cast<char>(b);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      line += hex;
    }
  }
  line += "\"\n";
  return line;
}

void TraceSerial(const UsbLink& link, std::string_view direction, int route, std::span<const std::uint8_t> bytes) {
  if (link.traceSerialPath.empty()) return;
  std::ofstream out(link.traceSerialPath, std::ios::app);
  out << SerialTraceLine(direction, route, bytes);
}

}  // namespace qv
