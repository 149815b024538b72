#pragma once
// The USB search for the camera and the filter wheel, and the raw block
// transfers to and from them. What the bytes mean is the command set's.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/clock.h"
#include "app/fixed_buffer.h"
#include "app/host.h"
#include "app/program_settings.h"
#include "camera/camera_protocol.h"
#include "camera/usb_devices.h"

namespace qv {

struct CameraState;
struct FrameGeometry;
struct DataPaths;

inline constexpr std::size_t kReplyBufferBytes = 20'000'000;
inline constexpr int kEnumerationSlots = 20;
inline constexpr std::size_t kRecordTextBytes = 256;
// Time allowed for a transfer beyond the exposure the camera is timing.
inline constexpr std::uint32_t kTransferMarginMs = 10'000;

// One slot of the enumeration record of a camera search.
struct EnumerationSlot {
  std::uint16_t vendorId = 0;
  std::string manufacturer;
  std::uint16_t productId = 0;
  std::string product;
};
using EnumerationRecord = std::array<EnumerationSlot, kEnumerationSlots>;

// Makes the bus of the devices this run talks to, for the camera type the
// settings hold when the camera is first opened (a simulated camera takes
// that model); chosen at start-up.
using UsbBusMaker = std::shared_ptr<UsbBus> (*)(int cameraType, Clock& clock);

struct UsbLink {
  UsbBusMaker makeBus = nullptr;
  std::shared_ptr<UsbBus> bus;  // the bus the devices were found on, kept for later searches
  std::unique_ptr<CameraTransport> camera;
  std::unique_ptr<FilterWheelPort> filterWheel;
  bool cameraAttached = false;
  bool filterWheelAttached = false;
  bool newerWindows = false;  // the platform can raise the read-out's priority

  CommandBlock block{};
  FixedBuffer<std::uint8_t> reply{kReplyBufferBytes};
  std::size_t transferLength = 0;
  std::size_t bytesRead = 0, bytesWritten = 0;
  std::string vidText, pidText;

  // The computer's own serial port, opened on first use (port setting 3 and above).
  std::unique_ptr<SerialPort> pcSerial;
  bool pcSerialOpen = false;

  std::string traceUsbPath;     // when set, every block and reply is logged here as hex
  std::string traceSerialPath;  // when set, every serial text sent and reply read is logged here
};

// Everything the search changes besides the link itself.
struct UsbSearchContext {
  ProgramSettings& settings;
  CameraState& camera;
  FrameGeometry& geometry;
  const DataPaths& paths;
  Host& host;
};

// Searches for the camera; 1 when at least one camera-class interface was
// listed, 0 when the search failed. The outcome is link.cameraAttached.
int OpenCameraDevice(UsbLink& link, UsbBus& bus, UsbSearchContext& context, EnumerationRecord& record);
// Opens and probes every filter wheel; the last one stays. 1 when at least
// one HID interface was listed.
int OpenFilterWheelDevice(UsbLink& link, UsbBus& bus, ProgramSettings& settings, Host& host, Clock& clock);

// The transfers of transferLength bytes; false (after the message) on failure.
[[nodiscard]] bool WriteCamera(UsbLink& link, Host& host);
[[nodiscard]] bool ReadCamera(UsbLink& link, Host& host, std::uint32_t timeoutMs = kTransferMarginMs);
[[nodiscard]] bool WriteFilterWheel(UsbLink& link, Host& host);
[[nodiscard]] bool ReadFilterWheel(UsbLink& link, Host& host);

void CloseUsbDevices(UsbLink& link);

// First use of the camera: unless attached already, the camera search, the
// filter wheel search (unless a wheel is attached) and, with a camera, the
// firmware version; "Sorry, No camera found on USB" without one. True when
// the camera is attached.
struct ProgramState;
[[nodiscard]] bool ConnectCamera(ProgramState& state, UsbBus& bus, Host& host, Clock& clock);

// Boxes of the search and the transfers.
void ShowPlainBox(Host& host, std::string text);
void ShowErrorBox(Host& host, std::string text);

}  // namespace qv
