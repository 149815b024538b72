#pragma once
// What went out on the serial routes in a test: the texts the camera relay
// carried (by port) and a scripted computer port.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "camera/scripted_devices.h"
#include "camera/serial_port.h"

namespace qv::test {

struct SerialEvent {
  int port = 0;     // camera port, or 3 for the computer's port
  char kind = 'w';  // 'w' a text written, 'r' a read of `count` bytes
  std::string text;
  std::size_t count = 0;
  bool operator==(const SerialEvent&) const = default;
};

inline SerialEvent Sent(int port, std::string text) { return {port, 'w', std::move(text), 0}; }
inline SerialEvent Read(int port, std::size_t count) { return {port, 'r', {}, count}; }

// The serial relay's writes and reads among the camera blocks, in order.
inline std::vector<SerialEvent> RelayEvents(const DeviceScript& script) {
  std::vector<SerialEvent> events;
  for (const Bytes& b : script.written) {
    if (b.size() < 8) continue;
    const std::size_t n = b[6] | (b[7] << 8);
    if (b[1] == 10) events.push_back(Sent(b[4], std::string(b.begin() + 8, b.begin() + 8 + static_cast<long>(n))));
    if (b[1] == 11) events.push_back(Read(b[4], n));
  }
  return events;
}

// The guide-output bytes among the camera blocks, in order.
inline std::vector<int> GuideOutputs(const DeviceScript& script) {
  std::vector<int> bits;
  for (const Bytes& b : script.written) {
    if (b.size() >= 3 && b[1] == 9) bits.push_back(b[2]);
  }
  return bits;
}

struct PcPortScript {
  std::vector<SerialEvent> events;
  std::deque<std::string> replies;
  int openResult = 0;
  int opens = 0;
  int openedPort = -1;
};

class ScriptedPcPort final : public SerialPort {
 public:
  explicit ScriptedPcPort(std::shared_ptr<PcPortScript> script) : script_(std::move(script)) {}
  int open(int port) override {
    ++script_->opens;
    script_->openedPort = port;
    return script_->openResult;
  }
  int write(std::span<const std::uint8_t> bytes) override {
    script_->events.push_back(Sent(3, std::string(bytes.begin(), bytes.end())));
    return static_cast<int>(bytes.size());
  }
  int read(std::span<std::uint8_t> buffer, std::uint32_t) override {
    script_->events.push_back(Read(3, buffer.size()));
    if (script_->replies.empty()) return 0;
    const std::string reply = script_->replies.front();
    script_->replies.pop_front();
    const std::size_t n = std::min(reply.size(), buffer.size());
    std::copy_n(reply.begin(), n, buffer.begin());
    return static_cast<int>(n);
  }
  void clearReceive() override {}
  void close() override {}

 private:
  std::shared_ptr<PcPortScript> script_;
};

}  // namespace qv::test
