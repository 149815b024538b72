#pragma once
// The devices behind the USB search: a camera transport, a filter wheel port
// and the bus the search walks. The Linux layer implements them with libusb
// and hidapi, the simulator with simulated devices, tests with scripts.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "camera/serial_port.h"

namespace qv {

// Outcome of one transfer. `error` is an errno-style number for the read and
// write messages; a transfer that moved fewer bytes than asked has failed.
struct TransferResult {
  bool ok = false;
  int error = 0;
  std::size_t bytes = 0;
};

inline constexpr int kUsbErrorIo = 5;          // EIO: failed or short transfer
inline constexpr int kUsbErrorNoDevice = 19;   // ENODEV: device unplugged
inline constexpr int kUsbErrorTimedOut = 110;  // ETIMEDOUT: no answer in time

class CameraTransport {
 public:
  virtual ~CameraTransport() = default;
  // Writes the whole block.
  virtual TransferResult write(std::span<const std::uint8_t> block) = 0;
  // Reads exactly reply.size() bytes into reply, giving up after timeoutMs.
  virtual TransferResult read(std::span<std::uint8_t> reply, std::uint32_t timeoutMs) = 0;

  virtual std::uint16_t vendorId() const = 0;
  virtual std::uint16_t productId() const = 0;
  // Texts for the enumeration record; nothing when the device has none.
  virtual std::optional<std::string> manufacturerText() = 0;
  virtual std::optional<std::string> productText() = 0;
  // A number that identifies the open device in the "Camera Found" box.
  virtual int handleNumber() const = 0;
};

class FilterWheelPort {
 public:
  virtual ~FilterWheelPort() = default;
  virtual TransferResult write(std::span<const std::uint8_t> report) = 0;
  virtual TransferResult read(std::span<std::uint8_t> report, std::uint32_t timeoutMs) = 0;
};

// One member index of an interface class on the bus.
struct BusMember {
  enum class Kind { Missing, Present, NoPath };
  Kind kind = Kind::Missing;
  std::string path;  // the device path text, with "vid_XXXX" and "pid_XXXX" in it
};

enum class InterfaceClass { Camera, Hid };

class UsbBus {
 public:
  virtual ~UsbBus() = default;
  // False when the bus cannot be listed at all.
  [[nodiscard]] virtual bool listInterfaces(InterfaceClass cls) = 0;
  virtual BusMember member(InterfaceClass cls, int index) = 0;
  virtual std::unique_ptr<CameraTransport> openCamera(const std::string& path) = 0;
  virtual std::unique_ptr<FilterWheelPort> openFilterWheel(const std::string& path) = 0;
  // The computer's own serial port among the same devices; nothing when
  // there is none.
  virtual std::unique_ptr<SerialPort> openPcSerialPort() { return nullptr; }
};

}  // namespace qv
