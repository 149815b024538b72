#pragma once
// Transport wrappers that log every block sent and every reply received as
// hex with its length ("--trace-usb FILE").

#include <memory>
#include <span>
#include <string>

#include "camera/usb_devices.h"

namespace qv {

std::unique_ptr<CameraTransport> TraceCameraTransport(std::unique_ptr<CameraTransport> inner, const std::string& path);
std::unique_ptr<FilterWheelPort> TraceFilterWheelPort(std::unique_ptr<FilterWheelPort> inner, const std::string& path);

// One trace line: direction, device, length, then the bytes in hex.
std::string TraceLine(std::string_view direction, std::string_view device, std::span<const std::uint8_t> bytes,
                      const TransferResult& result);

}  // namespace qv
