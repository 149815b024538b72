#pragma once
// Fake camera, filter wheel and bus for tests: they record every block
// written and answer reads from a script.

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "camera/usb_devices.h"

namespace qv::test {

using Bytes = std::vector<std::uint8_t>;

struct DeviceScript {
  std::vector<Bytes> written;
  std::deque<Bytes> replies;  // one per read, in order
  std::vector<std::size_t> readSizes;
  bool failWrites = false;
  bool failReads = false;
};

inline TransferResult ScriptedRead(DeviceScript& s, std::span<std::uint8_t> out) {
  s.readSizes.push_back(out.size());
  if (s.failReads || s.replies.empty()) return {false, 5, 0};
  Bytes reply = std::move(s.replies.front());
  s.replies.pop_front();
  const std::size_t n = std::min(reply.size(), out.size());
  std::copy_n(reply.begin(), n, out.begin());
  return {n == out.size(), n == out.size() ? 0 : 5, n};
}

class ScriptedCamera final : public CameraTransport {
 public:
  ScriptedCamera(std::shared_ptr<DeviceScript> script, std::uint16_t pid) : script_(std::move(script)), pid_(pid) {}
  TransferResult write(std::span<const std::uint8_t> block) override {
    script_->written.emplace_back(block.begin(), block.end());
    if (script_->failWrites) return {false, 5, 0};
    return {true, 0, block.size()};
  }
  TransferResult read(std::span<std::uint8_t> reply, std::uint32_t) override { return ScriptedRead(*script_, reply); }
  std::uint16_t vendorId() const override { return 0x5310; }
  std::uint16_t productId() const override { return pid_; }
  std::optional<std::string> manufacturerText() override { return "Maker"; }
  std::optional<std::string> productText() override { return std::nullopt; }
  int handleNumber() const override { return 42; }

 private:
  std::shared_ptr<DeviceScript> script_;
  std::uint16_t pid_;
};

class ScriptedWheel final : public FilterWheelPort {
 public:
  explicit ScriptedWheel(std::shared_ptr<DeviceScript> script) : script_(std::move(script)) {}
  TransferResult write(std::span<const std::uint8_t> report) override {
    script_->written.emplace_back(report.begin(), report.end());
    if (script_->failWrites) return {false, 5, 0};
    return {true, 0, report.size()};
  }
  TransferResult read(std::span<std::uint8_t> report, std::uint32_t) override { return ScriptedRead(*script_, report); }

 private:
  std::shared_ptr<DeviceScript> script_;
};

// A bus with members at chosen indexes; opening a path gives a scripted device.
class ScriptedBus final : public UsbBus {
 public:
  bool listFails = false;
  bool openFails = false;        // every open finds the device gone
  bool wheelWritesFail = false;  // wheels opened from now on fail their writes
  std::map<int, BusMember> cameras, hids;
  std::vector<std::string> opened;
  std::shared_ptr<DeviceScript> camera = std::make_shared<DeviceScript>();
  std::vector<std::shared_ptr<DeviceScript>> wheels;  // one per wheel opened, made on demand
  std::deque<Bytes> wheelProbeReplies;               // the probe answer of each wheel in turn

  bool listInterfaces(InterfaceClass) override { return !listFails; }
  BusMember member(InterfaceClass cls, int index) override {
    const auto& m = cls == InterfaceClass::Camera ? cameras : hids;
    const auto it = m.find(index);
    return it == m.end() ? BusMember{} : it->second;
  }
  std::unique_ptr<CameraTransport> openCamera(const std::string& path) override {
    opened.push_back(path);
    if (openFails) return nullptr;
    return std::make_unique<ScriptedCamera>(camera, 0x0612);
  }
  std::unique_ptr<FilterWheelPort> openFilterWheel(const std::string& path) override {
    opened.push_back(path);
    if (openFails) return nullptr;
    auto script = std::make_shared<DeviceScript>();
    script->failWrites = wheelWritesFail;
    if (!wheelProbeReplies.empty()) {
      script->replies.push_back(wheelProbeReplies.front());
      wheelProbeReplies.pop_front();
    }
    wheels.push_back(script);
    return std::make_unique<ScriptedWheel>(script);
  }
};

inline BusMember Present(const std::string& path) { return BusMember{BusMember::Kind::Present, path}; }

// Attaches a scripted camera (and optionally a wheel) to the link directly.
template <typename Link>
std::shared_ptr<DeviceScript> AttachScriptedCamera(Link& link) {
  auto script = std::make_shared<DeviceScript>();
  link.camera = std::make_unique<ScriptedCamera>(script, 0x0612);
  link.cameraAttached = true;
  return script;
}

}  // namespace qv::test
