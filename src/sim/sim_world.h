#pragma once
// The simulated devices: a camera that parses the real command blocks and
// answers with real replies, a USB filter wheel, the serial devices behind
// the camera's ports, and the bus on which the USB search finds them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/clock.h"
#include "camera/camera_models.h"
#include "camera/camera_protocol.h"
#include "camera/usb_devices.h"
#include "sim/sim_serial.h"
#include "sim/sky_scene.h"

namespace qv::sim {

// Fault knobs: each makes the device's transfers fail in one way.
struct SimFaults {
  bool failWrite = false;
  bool failRead = false;
  bool shortRead = false;  // half the bytes, then the transfer fails
  bool timeout = false;    // no answer: the read waits out its time-out
  bool unplugged = false;  // gone from the bus; transfers fail with "no device"
};

class SimWorld {
 public:
  // A world for the camera of this type code (its sensor and PID).
  SimWorld(Clock& clock, int cameraType, std::uint64_t seed = 1);

  Clock& clock;
  CameraModel model;
  SkyScene scene;
  SimWheel wheel;
  SerialDevices serial;
  SimFaults cameraFaults, wheelFaults;
  bool wheelPresent = true;
  FirmwareVersion firmware{12, 2};

  // The PID the camera announces: the table's PID of its type, "0617" for a
  // type the table does not list.
  std::string cameraPid() const;

  // What the camera was last asked, for tests.
  std::uint32_t lastExposureMs = 0;
  FrameWindow lastWindow;
  int blocksReceived = 0;
};

// The computer's serial port number on the simulated serial lines (the
// camera's ports are 0 to 2).
inline constexpr int kSimPcPort = 3;

std::unique_ptr<UsbBus> MakeSimBus(std::shared_ptr<SimWorld> world);
// A fresh world of this camera type on its bus: the devices of --simulate.
std::shared_ptr<UsbBus> MakeSimulatedDevices(int cameraType, Clock& clock);

}  // namespace qv::sim
