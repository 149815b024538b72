#include "guiding/serial_link.h"

#include <algorithm>
#include <array>
#include <span>

#include "camera/camera_commands.h"
#include "camera/camera_protocol.h"
#include "camera/filter_cooler.h"
#include "camera/usb_link.h"

namespace qv {

namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

int TelescopeRoute(const ProgramSettings& settings) {
  if (settings.telescopePort == '3' || settings.aoPortChoice > kLastCameraSerialPort) return kPcSerialRoute;
  return settings.telescopePort == '1' ? 0 : 1;
}

int AoRoute(const ProgramSettings& settings) { return std::clamp<int>(settings.aoPortChoice, 0, kPcSerialRoute); }

bool SerialSendRaw(ProgramState& state, Host& host, Clock& clock, int route, std::string_view text) {
  if (route <= kLastCameraSerialPort) return SerialWrite(state, host, route, text);
  const bool ok = PcSerialWrite(state, host, Bytes(text));
  // The line needs time to carry the text before the next one.
  clock.sleepMs(1);
  clock.sleepMs(10);
  clock.sleepMs(50);
  return ok;
}

bool SerialSend(ProgramState& state, Host& host, Clock& clock, int route, std::string_view text) {
  bool ok = SerialSendRaw(state, host, clock, route, text);
  if (ok && route == kPcSerialRoute && !text.empty() && text[0] == 'H') {
    const SerialReply reply = SerialReceive(state, host, route, 1);
    if (reply.bytes.empty() || reply.bytes[0] != 'H') {
      ShowPlainBox(host, "Return from AO - " + ReplyText(reply.bytes));
      ok = false;
    }
  }
  return ok;
}

SerialReply SerialReceive(ProgramState& state, Host& host, int route, std::size_t count) {
  UsbLink& link = state.camera.link;
  if (route <= kLastCameraSerialPort) {
    count = std::min(count, kTelescopeReplyBytes);
    const bool ok = SerialRead(state, host, route, count);
    return {ok, std::string(reinterpret_cast<const char*>(link.reply.data()), count)};
  }
  if (!OpenPcSerial(state, host)) return {};
  std::array<std::uint8_t, kPcReplyBytes> buffer{};
  const int n = link.pcSerial->read(buffer, kPcReplyTimeoutMs);
  link.pcSerial->clearReceive();
  if (n < 0) {
    ShowPlainBox(host, "ERROR " + std::to_string(n) + " ");
    return {};
  }
  const auto got = std::span<const std::uint8_t>(buffer).first(static_cast<std::size_t>(n));
  TraceSerial(link, "recv", kPcSerialRoute, got);
  return {n > 0, std::string(got.begin(), got.end())};
}

std::string ReplyText(std::string_view bytes) {
  // A reply padded with zeros ends at the first of them.
  bytes = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
  return TelescopeReplyText(Bytes(bytes));
}

}  // namespace qv
