#pragma once

// A camera whose frame is always ready: every read hands back the same reply
// bytes at once, so what a benchmark measures is the host's work.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "camera/usb_devices.h"

namespace qv::bench {

class ReadyCamera final : public CameraTransport {
 public:
  explicit ReadyCamera(const std::vector<std::uint8_t>& reply) : reply_(reply) {}
  TransferResult write(std::span<const std::uint8_t> block) override { return {true, 0, block.size()}; }
  TransferResult read(std::span<std::uint8_t> reply, std::uint32_t) override {
    std::memcpy(reply.data(), reply_.data(), std::min(reply.size(), reply_.size()));
    return {true, 0, reply.size()};
  }
  std::uint16_t vendorId() const override { return 0x5310; }
  std::uint16_t productId() const override { return 0x0616; }
  std::optional<std::string> manufacturerText() override { return std::nullopt; }
  std::optional<std::string> productText() override { return std::nullopt; }
  int handleNumber() const override { return 1; }

 private:
  const std::vector<std::uint8_t>& reply_;
};

}  // namespace qv::bench
