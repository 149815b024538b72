#include <algorithm>
#include <cmath>

#include "sim/sim_world.h"

namespace qv::sim {

namespace {

constexpr std::size_t kMaxReply = 20'000'000;
constexpr int kGuiderFlushColumns = 500;

TransferResult Ok(std::size_t bytes) { return TransferResult{true, 0, bytes}; }
TransferResult Failed(int error, std::size_t bytes = 0) { return TransferResult{false, error, bytes}; }

// Serves a waiting reply under the fault knobs.
TransferResult ServeRead(SimWorld& world, const SimFaults& faults, std::vector<std::uint8_t>& pending,
                         std::span<std::uint8_t> out, std::uint32_t timeoutMs) {
  if (faults.unplugged) return Failed(kUsbErrorNoDevice);
  if (faults.failRead) {
    pending.clear();
    return Failed(kUsbErrorIo);
  }
  if (faults.timeout) {
    pending.clear();
    world.clock.sleepMs(timeoutMs);
    return Failed(kUsbErrorTimedOut);
  }
  std::size_t n = std::min(pending.size(), out.size());
  if (faults.shortRead) n = std::min(n, out.size() / 2);
  std::copy_n(pending.begin(), n, out.begin());
  pending.clear();
  if (n < out.size()) {
    // Nothing more will come: the read waits out its time-out unless the knob cut it short.
    if (!faults.shortRead) world.clock.sleepMs(timeoutMs);
    return Failed(faults.shortRead ? kUsbErrorIo : kUsbErrorTimedOut, n);
  }
  return Ok(n);
}

class SimCamera final : public CameraTransport {
 public:
  explicit SimCamera(std::shared_ptr<SimWorld> world) : world_(std::move(world)) {}

  TransferResult write(std::span<const std::uint8_t> block) override {
    SimWorld& w = *world_;
    if (w.cameraFaults.unplugged) return Failed(kUsbErrorNoDevice);
    if (w.cameraFaults.failWrite) return Failed(kUsbErrorIo);
    ++w.blocksReceived;
    handle(block);
    return Ok(block.size());
  }

  TransferResult read(std::span<std::uint8_t> reply, std::uint32_t timeoutMs) override {
    return ServeRead(*world_, world_->cameraFaults, pending_, reply, timeoutMs);
  }

  std::uint16_t vendorId() const override { return 0x5310; }
  std::uint16_t productId() const override {
    return static_cast<std::uint16_t>(std::stoi(world_->cameraPid(), nullptr, 16));
  }
  std::optional<std::string> manufacturerText() override { return "Simulated"; }
  std::optional<std::string> productText() override { return "Simulated QelIO camera"; }
  int handleNumber() const override { return 1; }

 private:
  void handle(std::span<const std::uint8_t> block) {
    SimWorld& w = *world_;
    const CommandHeader h = DecodeHeader(block);
    pending_.clear();
    if (h.requestType != kRequestType || !wellFormed(h, block.size())) return;
    const std::uint32_t now = w.clock.milliseconds();
    switch (h.code) {
      case kCmdClear:
        if (h.value == 0) exposureStartMs_ = now;
        break;
      case kCmdDelayedReadout:
      case kCmdImmediateReadout:
        if ((h.index & 0xFF) == kGuiderChannel) {
          guiderReadout(block, now);
        } else {
          mainReadout(block, h.code == kCmdDelayedReadout, now);
        }
        break;
      case kCmdGuideOutputs:
        w.scene.mount.setRelayBits(static_cast<std::uint8_t>(h.value & 0xFF), now);
        break;
      case kCmdSerialWrite: {
        const std::size_t n = std::min<std::size_t>(h.dataLength, block.size() >= 8 ? block.size() - 8 : 0);
        w.serial.write(h.index & 0xFF, block.subspan(8, n));
        break;
      }
      case kCmdSerialRead:
        pending_.resize(h.dataLength);
        w.serial.read(h.index & 0xFF, pending_);
        break;
      case kCmdSetCooler:
        w.scene.cooler.set((h.index & 0xFF) == 1, (static_cast<int>(h.value) - 2730) / 10, now);
        coolerReply(now);
        break;
      case kCmdReadCooler:
        coolerReply(now);
        break;
      case kCmdFirmwareVersion:
        pending_ = {static_cast<std::uint8_t>(w.firmware.w0 & 0xFF), static_cast<std::uint8_t>(w.firmware.w0 >> 8),
                    static_cast<std::uint8_t>(w.firmware.w1 & 0xFF), static_cast<std::uint8_t>(w.firmware.w1 >> 8)};
        break;
      default:
        break;
    }
  }

  // The camera answers only a block of the length its command has: 8 bytes
  // plus the data, the serial read's 8 bytes whatever count it asks, and
  // the read-outs' descriptors of 14 (delayed) and 10 (immediate) bytes.
  static bool wellFormed(const CommandHeader& h, std::size_t size) {
    if (h.code == kCmdSerialRead) return size == 8;
    if (h.code == kCmdDelayedReadout && h.dataLength != 14) return false;
    if (h.code == kCmdImmediateReadout && h.dataLength != 10) return false;
    return size == 8u + h.dataLength;
  }

  // A window the sensor cannot give is answered with zeros of the asked size.
  bool validWindow(const FrameWindow& f, int sensorW, int sensorH) const {
    return f.binX >= 1 && f.binY >= 1 && f.width >= f.binX && f.height >= f.binY && f.x + f.width <= sensorW &&
           f.y + f.height <= sensorH;
  }

  void mainReadout(std::span<const std::uint8_t> block, bool delayed, std::uint32_t now) {
    SimWorld& w = *world_;
    const FrameWindow f = DecodeFrameWindow(block);
    std::uint32_t exposureMs = 0;
    if (delayed) {
      exposureMs = static_cast<std::uint32_t>(block[18] | (block[19] << 8) | (block[20] << 16) | (block[21] << 24));
      w.clock.sleepMs(exposureMs);  // the camera times this exposure itself
      now = w.clock.milliseconds();
    } else {
      exposureMs = now - exposureStartMs_;
    }
    exposureStartMs_ = now;
    w.lastExposureMs = exposureMs;
    w.lastWindow = f;
    const std::size_t pixels =
        static_cast<std::size_t>(f.binX ? f.width / f.binX : 0) * (f.binY ? f.height / f.binY : 0);
    pending_.assign(std::min(pixels * 2, kMaxReply), 0);
    if (!validWindow(f, w.model.sensorWidth, w.model.sensorHeight)) return;
    frame_.resize(pixels);
    w.scene.renderMain({f.x, f.y, f.width, f.height, f.binX, f.binY}, exposureMs, now, frame_.data());
    for (std::size_t i = 0; i < pixels; ++i) {
      pending_[2 * i] = static_cast<std::uint8_t>(frame_[i] & 0xFF);
      pending_[2 * i + 1] = static_cast<std::uint8_t>(frame_[i] >> 8);
    }
  }

  void guiderReadout(std::span<const std::uint8_t> block, std::uint32_t now) {
    SimWorld& w = *world_;
    const FrameWindow f = DecodeFrameWindow(block);
    const std::size_t pixels =
        static_cast<std::size_t>(f.binX ? f.width / f.binX : 0) * (f.binY ? f.height / f.binY : 0);
    pending_.assign(std::min(pixels, kMaxReply), 0);
    if (f.height == 1 && f.width == kGuiderFlushColumns) {
      guiderStartMs_ = now;  // the flush starts the guider's exposure
      return;
    }
    if (f.binX < 1 || f.binX != f.binY || f.width > 500 || f.height > 290) return;
    const std::uint32_t exposureMs = now - guiderStartMs_;
    guiderStartMs_ = now;
    w.lastExposureMs = exposureMs;
    w.scene.renderGuider(f.width, f.height, f.binX, exposureMs, now, pending_.data());
  }

  void coolerReply(std::uint32_t now) {
    SimWorld& w = *world_;
    w.scene.cooler.advanceTo(now);
    const double t = w.scene.cooler.temperatureC();
    const auto code = static_cast<std::uint16_t>(std::lround(t * 10) + 2730);
    const double power =
        w.scene.cooler.on() ? std::clamp((w.scene.cooler.ambientC - t) / w.scene.cooler.maximumDeltaC, 0.0, 1.0) : 0;
    pending_ = {static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>(code >> 8),
                static_cast<std::uint8_t>(std::lround(power * 100))};
  }

  std::shared_ptr<SimWorld> world_;
  std::vector<std::uint8_t> pending_;
  std::vector<std::uint16_t> frame_;
  std::uint32_t exposureStartMs_ = 0;
  std::uint32_t guiderStartMs_ = 0;
};

class SimWheelPort final : public FilterWheelPort {
 public:
  explicit SimWheelPort(std::shared_ptr<SimWorld> world) : world_(std::move(world)) {}

  TransferResult write(std::span<const std::uint8_t> report) override {
    SimWorld& w = *world_;
    if (w.wheelFaults.unplugged) return Failed(kUsbErrorNoDevice);
    if (w.wheelFaults.failWrite) return Failed(kUsbErrorIo);
    if (report.size() >= 2 && report[1] >= 0x81 && report[1] - 0x80 <= w.wheel.positions) {
      w.wheel.position = report[1] - 0x80;
      ++w.wheel.moves;
    }
    pending_ = {0, static_cast<std::uint8_t>(w.wheel.position), static_cast<std::uint8_t>(w.wheel.positions)};
    return Ok(report.size());
  }

  TransferResult read(std::span<std::uint8_t> report, std::uint32_t timeoutMs) override {
    return ServeRead(*world_, world_->wheelFaults, pending_, report, timeoutMs);
  }

 private:
  std::shared_ptr<SimWorld> world_;
  std::vector<std::uint8_t> pending_;
};

// The computer's own port, on the same serial lines as the camera's ports.
class SimPcSerialPort final : public SerialPort {
 public:
  explicit SimPcSerialPort(std::shared_ptr<SimWorld> world) : world_(std::move(world)) {}
  int open(int) override {
    open_ = true;
    return 0;
  }
  int write(std::span<const std::uint8_t> bytes) override {
    if (!open_) return -9;
    world_->serial.write(kSimPcPort, bytes);
    return static_cast<int>(bytes.size());
  }
  int read(std::span<std::uint8_t> buffer, std::uint32_t) override {
    if (!open_) return -9;
    world_->serial.read(kSimPcPort, buffer);
    int n = 0;
    while (n < static_cast<int>(buffer.size()) && buffer[static_cast<std::size_t>(n)] != 0) ++n;
    return n;
  }
  void clearReceive() override { world_->serial.clear(kSimPcPort); }
  void close() override { open_ = false; }

 private:
  std::shared_ptr<SimWorld> world_;
  bool open_ = false;
};

class SimBus final : public UsbBus {
 public:
  explicit SimBus(std::shared_ptr<SimWorld> world) : world_(std::move(world)) {}

  bool listInterfaces(InterfaceClass) override { return true; }

  // Camera class: the camera at member 1 (member 0 is empty). HID class: a
  // keyboard at 0 and the wheel at 2.
  BusMember member(InterfaceClass cls, int index) override {
    BusMember m;
    if (cls == InterfaceClass::Camera && index == 1 && !world_->cameraFaults.unplugged) {
      m.kind = BusMember::Kind::Present;
      m.path = "\\\\?\\usb#vid_5310&pid_" + world_->cameraPid() + "#sim0001#{3b1f0c2a-7d4e-4a61-9c55-21e0b4f7a9d3}";
    } else if (cls == InterfaceClass::Hid && index == 0) {
      m.kind = BusMember::Kind::Present;
      m.path = "\\\\?\\hid#vid_046d&pid_c31c#sim0002#{hid}";
    } else if (cls == InterfaceClass::Hid && index == 2 && world_->wheelPresent && !world_->wheelFaults.unplugged) {
      m.kind = BusMember::Kind::Present;
      m.path = "\\\\?\\hid#vid_5310&pid_0720#sim0003#{hid}";
    }
    return m;
  }

  std::unique_ptr<CameraTransport> openCamera(const std::string&) override {
    if (world_->cameraFaults.unplugged) return nullptr;
    return std::make_unique<SimCamera>(world_);
  }
  std::unique_ptr<FilterWheelPort> openFilterWheel(const std::string&) override {
    if (world_->wheelFaults.unplugged) return nullptr;
    return std::make_unique<SimWheelPort>(world_);
  }
  std::unique_ptr<SerialPort> openPcSerialPort() override { return std::make_unique<SimPcSerialPort>(world_); }

 private:
  std::shared_ptr<SimWorld> world_;
};

// The built-in type has no camera of its own: the world then holds the K1C
// whose PID it announces, so the search and the sensor agree.
CameraModel ModelFor(int cameraType) {
  if (auto model = FindCameraModel(cameraType)) return *model;
  return *FindCameraModel(1);
}

}  // namespace

SimWorld::SimWorld(Clock& c, int cameraType, std::uint64_t seed)
    : clock(c),
      model(ModelFor(cameraType)),
      scene(seed, model.sensorWidth, model.sensorHeight),
      serial(scene, wheel, c) {
  scene.mount.advanceTo(clock.milliseconds());
  scene.cooler.advanceTo(clock.milliseconds());
}

std::string SimWorld::cameraPid() const {
  switch (model.code) {
    case 1:
      return "0612";
    case 2:
      return "0611";
    case 3:
      return "0615";
    case 4:
      return "0616";
    case 5:
      return "0614";
    default:
      return "0617";
  }
}

std::unique_ptr<UsbBus> MakeSimBus(std::shared_ptr<SimWorld> world) {
  return std::make_unique<SimBus>(std::move(world));
}

std::shared_ptr<UsbBus> MakeSimulatedDevices(int cameraType, Clock& clock) {
  return MakeSimBus(std::make_shared<SimWorld>(clock, cameraType));
}

}  // namespace qv::sim
