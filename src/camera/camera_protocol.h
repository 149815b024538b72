#pragma once
// The camera's command blocks and replies as pure functions over bytes. Every
// builder clears the start of the block as the camera expects, fills it and
// returns the number of bytes to write.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "camera/camera_models.h"

namespace qv {

inline constexpr std::size_t kCommandBlockBytes = 64;
using CommandBlock = std::array<std::uint8_t, kCommandBlockBytes>;

inline constexpr std::uint8_t kRequestType = 0x40;
enum CameraCommandCode : std::uint8_t {
  kCmdClear = 1,
  kCmdDelayedReadout = 2,
  kCmdImmediateReadout = 3,
  kCmdGuideOutputs = 9,
  kCmdSerialWrite = 10,
  kCmdSerialRead = 11,
  kCmdSetCooler = 30,
  kCmdReadCooler = 31,
  kCmdFirmwareVersion = 255,
};

inline constexpr std::uint16_t kReadoutValue = 3;         // the value word of every frame read-out
inline constexpr std::uint32_t kCameraTimedMaxMs = 1000;  // longest exposure the camera times itself
inline constexpr int kMainChannel = 0;
inline constexpr int kGuiderChannel = 1;
inline constexpr std::size_t kMaxSerialText = kCommandBlockBytes - 8;
inline constexpr std::size_t kTelescopeReplyBytes = 33;
inline constexpr int kCoolerReplyBytes = 3;
inline constexpr int kFirmwareReplyBytes = 4;

// Where and how a read-out takes the sensor.
struct FrameWindow {
  int x = 0, y = 0;
  int width = 0, height = 0;  // sensor pixels, before binning
  int binX = 1, binY = 1;
};

// Header fields of a block, for decoding what was sent.
struct CommandHeader {
  std::uint8_t requestType = 0;
  std::uint8_t code = 0;
  std::uint16_t value = 0;
  std::uint16_t index = 0;
  std::uint16_t dataLength = 0;
};

std::uint16_t GetLe16(const std::uint8_t* bytes);
void PutLe16(std::uint8_t* bytes, std::uint16_t value);
CommandHeader DecodeHeader(std::span<const std::uint8_t> block);
FrameWindow DecodeFrameWindow(std::span<const std::uint8_t> block);

std::size_t BuildClear(CommandBlock& block, std::uint16_t value);
// A main-sensor read-out: up to 1000 ms the camera times the exposure (delayed
// read-out, 22 bytes), above it the caller has timed it (immediate, 18 bytes).
std::size_t BuildMainReadout(CommandBlock& block, const FrameWindow& window, std::uint32_t exposureMs);
// A guider-channel read-out: always immediate; the exposure sits in bytes 18
// and 19 but only 18 bytes are written.
std::size_t BuildGuiderReadout(CommandBlock& block, const FrameWindow& window, std::uint32_t exposureMs);
std::size_t BuildGuideOutputs(CommandBlock& block, std::uint8_t bits);
// The text is cut to what the block can carry.
std::size_t BuildSerialWrite(CommandBlock& block, int port, std::span<const std::uint8_t> text);
std::size_t BuildSerialRead(CommandBlock& block, int port, std::size_t count);
std::size_t BuildSetCooler(CommandBlock& block, bool coolingOn, int setpointC);
std::size_t BuildReadCooler(CommandBlock& block);
std::size_t BuildFirmwareRead(CommandBlock& block);

// Set point in whole degrees Celsius as tenths of a kelvin above 273.0.
std::uint16_t CoolerSetpointCode(int setpointC);
// Actual temperature from the cooler reply, truncated toward zero.
int DecodeCoolerTemperature(std::span<const std::uint8_t> reply);

struct FirmwareVersion {
  std::uint16_t w0 = 0, w1 = 0;
};
FirmwareVersion DecodeFirmwareVersion(std::span<const std::uint8_t> reply);
// The cooler controls need firmware word 0 of 11 or more and a model with a cooler.
[[nodiscard]] bool FirmwareAllowsCooler(const FirmwareVersion& version, const CameraModel& model);

// A telescope reply up to the first "#" (excluded), at most 33 characters.
std::string TelescopeReplyText(std::span<const std::uint8_t> reply);

// The four characters after "vid" and "pid" in a device path (the separator
// after the three letters skipped).
struct VidPidTexts {
  std::optional<std::string> vid, pid;
};
VidPidTexts ParseVidPid(std::string_view path);
// Camera type for a camera PID text, read as a decimal number; nothing for a
// PID outside the table.
std::optional<int> CameraTypeForPid(std::string_view pidText);

inline constexpr std::string_view kCameraVid = "5310";
inline constexpr std::string_view kFilterWheelPid = "0720";

}  // namespace qv
