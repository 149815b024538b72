#include "camera/usb_trace.h"

#include <algorithm>
#include <fstream>

namespace qv {

namespace {

// Both devices append to the same file; each line is flushed as written.
class TraceFile {
 public:
  explicit TraceFile(const std::string& path) : out_(path, std::ios::app) {}
  void line(const std::string& text) {
    out_ << text;
    out_.flush();
  }

 private:
  std::ofstream out_;
};

class TracingCamera final : public CameraTransport {
 public:
  TracingCamera(std::unique_ptr<CameraTransport> inner, const std::string& path)
      : inner_(std::move(inner)), file_(path) {}
  TransferResult write(std::span<const std::uint8_t> block) override {
    const auto r = inner_->write(block);
    file_.line(TraceLine("W", "camera", block, r));
    return r;
  }
  TransferResult read(std::span<std::uint8_t> reply, std::uint32_t timeoutMs) override {
    const auto r = inner_->read(reply, timeoutMs);
    file_.line(TraceLine("R", "camera", reply.first(std::min(r.bytes, reply.size())), r));
    return r;
  }
  std::uint16_t vendorId() const override { return inner_->vendorId(); }
  std::uint16_t productId() const override { return inner_->productId(); }
  std::optional<std::string> manufacturerText() override { return inner_->manufacturerText(); }
  std::optional<std::string> productText() override { return inner_->productText(); }
  int handleNumber() const override { return inner_->handleNumber(); }

 private:
  std::unique_ptr<CameraTransport> inner_;
  TraceFile file_;
};

class TracingWheel final : public FilterWheelPort {
 public:
  TracingWheel(std::unique_ptr<FilterWheelPort> inner, const std::string& path) : inner_(std::move(inner)), file_(path) {}
  TransferResult write(std::span<const std::uint8_t> report) override {
    const auto r = inner_->write(report);
    file_.line(TraceLine("W", "wheel", report, r));
    return r;
  }
  TransferResult read(std::span<std::uint8_t> report, std::uint32_t timeoutMs) override {
    const auto r = inner_->read(report, timeoutMs);
    file_.line(TraceLine("R", "wheel", report.first(std::min(r.bytes, report.size())), r));
    return r;
  }

 private:
  std::unique_ptr<FilterWheelPort> inner_;
  TraceFile file_;
};

}  // namespace

std::string TraceLine(std::string_view direction, std::string_view device, std::span<const std::uint8_t> bytes,
                      const TransferResult& result) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(32 + bytes.size() * 3);
  text += direction;
  text += ' ';
  text += device;
  text += ' ';
  text += std::to_string(bytes.size());
  if (!result.ok) text += " failed error " + std::to_string(result.error);
  text += ':';
  for (const std::uint8_t b : bytes) {
    text += ' ';
    text += kHex[b >> 4];
    text += kHex[b & 15];
  }
  text += '\n';
  return text;
}

std::unique_ptr<CameraTransport> TraceCameraTransport(std::unique_ptr<CameraTransport> inner, const std::string& path) {
  return std::make_unique<TracingCamera>(std::move(inner), path);
}

std::unique_ptr<FilterWheelPort> TraceFilterWheelPort(std::unique_ptr<FilterWheelPort> inner, const std::string& path) {
  return std::make_unique<TracingWheel>(std::move(inner), path);
}

}  // namespace qv
