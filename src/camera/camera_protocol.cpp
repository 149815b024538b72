#include "camera/camera_protocol.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace qv {

namespace {

constexpr std::size_t kShortClear = 8;
constexpr std::size_t kLongClear = 24;

void Header(CommandBlock& block, std::size_t clearBytes, std::uint8_t code, std::uint16_t value, int index,
            std::uint16_t dataLength) {
  std::memset(block.data(), 0, clearBytes);
  block[0] = kRequestType;
  block[1] = code;
  PutLe16(&block[2], value);
  PutLe16(&block[4], static_cast<std::uint16_t>(index & 0xFF));
  PutLe16(&block[6], dataLength);
}

void Window(CommandBlock& block, const FrameWindow& w) {
  PutLe16(&block[8], static_cast<std::uint16_t>(w.x));
  PutLe16(&block[10], static_cast<std::uint16_t>(w.y));
  PutLe16(&block[12], static_cast<std::uint16_t>(w.width));
  PutLe16(&block[14], static_cast<std::uint16_t>(w.height));
  block[16] = static_cast<std::uint8_t>(w.binX);
  block[17] = static_cast<std::uint8_t>(w.binY);
}

}  // namespace

std::uint16_t GetLe16(const std::uint8_t* b) { return static_cast<std::uint16_t>(b[0] | (b[1] << 8)); }

void PutLe16(std::uint8_t* b, std::uint16_t v) {
  b[0] = static_cast<std::uint8_t>(v & 0xFF);
  b[1] = static_cast<std::uint8_t>(v >> 8);
}

CommandHeader DecodeHeader(std::span<const std::uint8_t> block) {
  CommandHeader h;
  if (block.size() < 8) return h;
  h.requestType = block[0];
  h.code = block[1];
  h.value = GetLe16(&block[2]);
  h.index = GetLe16(&block[4]);
  h.dataLength = GetLe16(&block[6]);
  return h;
}

FrameWindow DecodeFrameWindow(std::span<const std::uint8_t> block) {
  FrameWindow w;
  if (block.size() < 18) return w;
  w.x = GetLe16(&block[8]);
  w.y = GetLe16(&block[10]);
  w.width = GetLe16(&block[12]);
  w.height = GetLe16(&block[14]);
  w.binX = block[16];
  w.binY = block[17];
  return w;
}

std::size_t BuildClear(CommandBlock& block, std::uint16_t value) {
  Header(block, kShortClear, kCmdClear, value, 0, 0);
  return 8;
}

std::size_t BuildMainReadout(CommandBlock& block, const FrameWindow& window, std::uint32_t exposureMs) {
  if (exposureMs <= kCameraTimedMaxMs) {
    Header(block, kLongClear, kCmdDelayedReadout, kReadoutValue, kMainChannel, 14);
    Window(block, window);
    block[18] = static_cast<std::uint8_t>(exposureMs & 0xFF);
    block[19] = static_cast<std::uint8_t>((exposureMs >> 8) & 0xFF);
    block[20] = static_cast<std::uint8_t>((exposureMs >> 16) & 0xFF);
    block[21] = static_cast<std::uint8_t>((exposureMs >> 24) & 0xFF);
    return 22;
  }
  Header(block, kLongClear, kCmdImmediateReadout, kReadoutValue, kMainChannel, 10);
  Window(block, window);
  return 18;
}

std::size_t BuildGuiderReadout(CommandBlock& block, const FrameWindow& window, std::uint32_t exposureMs) {
  Header(block, kLongClear, kCmdImmediateReadout, kReadoutValue, kGuiderChannel, 10);
  Window(block, window);
  PutLe16(&block[18], static_cast<std::uint16_t>(exposureMs & 0xFFFF));
  return 18;
}

std::size_t BuildGuideOutputs(CommandBlock& block, std::uint8_t bits) {
  Header(block, kShortClear, kCmdGuideOutputs, bits, 0, 0);
  return 8;
}

std::size_t BuildSerialWrite(CommandBlock& block, int port, std::span<const std::uint8_t> text) {
  const std::size_t n = std::min(text.size(), kMaxSerialText);
  Header(block, kLongClear, kCmdSerialWrite, 0, port, static_cast<std::uint16_t>(n));
  std::copy_n(text.begin(), n, block.begin() + 8);
  return 8 + n;
}

std::size_t BuildSerialRead(CommandBlock& block, int port, std::size_t count) {
  Header(block, kCommandBlockBytes, kCmdSerialRead, 0, port, static_cast<std::uint16_t>(count));
  return 8;
}

std::size_t BuildSetCooler(CommandBlock& block, bool coolingOn, int setpointC) {
  Header(block, kLongClear, kCmdSetCooler, CoolerSetpointCode(setpointC), coolingOn ? 1 : 0, 0);
  return 8;
}

std::size_t BuildReadCooler(CommandBlock& block) {
  Header(block, kLongClear, kCmdReadCooler, 0, 0, 0);
  return 8;
}

std::size_t BuildFirmwareRead(CommandBlock& block) {
  Header(block, kLongClear, kCmdFirmwareVersion, 0, 0, 0);
  return 8;
}

std::uint16_t CoolerSetpointCode(int setpointC) { return static_cast<std::uint16_t>(setpointC * 10 + 2730); }

int DecodeCoolerTemperature(std::span<const std::uint8_t> reply) {
  if (reply.size() < 2) return 0;
  return (static_cast<int>(GetLe16(reply.data())) - 2730) / 10;
}

FirmwareVersion DecodeFirmwareVersion(std::span<const std::uint8_t> reply) {
  FirmwareVersion v;
  if (reply.size() < 4) return v;
  v.w0 = GetLe16(&reply[0]);
  v.w1 = GetLe16(&reply[2]);
  return v;
}

bool FirmwareAllowsCooler(const FirmwareVersion& version, const CameraModel& model) {
  return version.w0 >= 11 && model.hasCooler;
}

std::string TelescopeReplyText(std::span<const std::uint8_t> reply) {
  std::string text;
  for (std::size_t i = 0; i < reply.size() && i < kTelescopeReplyBytes; ++i) {
    if (reply[i] == '#') break;
    text.push_back(static_cast<char>(reply[i]));
  }
  return text;
}

VidPidTexts ParseVidPid(std::string_view path) {
  VidPidTexts texts;
  auto take = [&](std::string_view key) -> std::optional<std::string> {
    const auto at = path.find(key);
    if (at == std::string_view::npos || at + 8 > path.size()) return std::nullopt;
    return std::string(path.substr(at + 4, 4));
  };
  texts.vid = take("vid");
  texts.pid = take("pid");
  return texts;
}

std::optional<int> CameraTypeForPid(std::string_view pidText) {
  int number = -1;
  const auto* end = pidText.data() + pidText.size();
  if (std::from_chars(pidText.data(), end, number).ptr != end) return std::nullopt;
  switch (number) {
    case 611:
      return 2;
    case 612:
      return 1;
    case 613:
      return 2;
    case 614:
      return 5;
    case 615:
      return 3;
    case 616:
      return 4;
    default:
      return std::nullopt;
  }
}

}  // namespace qv
