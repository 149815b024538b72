#pragma once
// The USB bus on Linux: the camera through libusb-1.0 (bulk endpoints), the
// filter wheel through hidapi (hidraw).

#include <memory>

#include "app/clock.h"
#include "camera/usb_devices.h"

namespace qv {

inline constexpr std::uint16_t kCameraVendorId = 0x5310;
inline constexpr std::uint16_t kFilterWheelProductId = 0x0720;
inline constexpr unsigned char kCameraBulkOut = 0x01;
inline constexpr unsigned char kCameraBulkIn = 0x82;
inline constexpr unsigned kCameraWriteTimeoutMs = 5000;

std::unique_ptr<UsbBus> MakeLinuxUsbBus();
// The devices on the machine's USB bus, whatever camera type is set.
std::shared_ptr<UsbBus> MakeRealDevices(int cameraType, Clock& clock);

}  // namespace qv
