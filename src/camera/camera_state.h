#pragma once
// The current camera model, the read-out positions that follow from it, the
// USB link and what the command set keeps between commands.

#include <cstdint>
#include <string>

#include "camera/camera_models.h"
#include "camera/camera_protocol.h"
#include "camera/exposure_settings.h"
#include "camera/usb_link.h"

namespace qv {

struct CameraState {
  CameraModel model = BuiltInCameraModel();
  int focusWindowMode = 0;  // 2: windowed read-out of the focus frame
  int focusCentreX = 0, focusCentreY = 0;
  int subFrameCentreX = 0, subFrameCentreY = 0;
  // Size of the user sub-frame: half the sensor until the Sub-Frame
  // Selection dialog picks one of its fixed sizes.
  int subFrameWidth = BuiltInCameraModel().sensorWidth / 2;
  int subFrameHeight = BuiltInCameraModel().sensorHeight / 2;
  int guideBoxOriginX = 0, guideBoxOriginY = 0;  // top-left of the 128 x 128 guide box

  UsbLink link;

  // Command set.
  int readoutModeCode = 0;  // 0 full resolution; 2, 3, 4 binned (the last read-out's mode)
  std::uint8_t guideOutputs = 0;
  FirmwareVersion firmware;
  bool coolerAvailable = true;
  std::string telescopeReply;        // reply to a 33-byte serial read
  std::string secondTelescopeReply;  // reply after a GoTo

  // Filter wheel and cooler.
  int filterPosition = 1;
  bool coolingOn = false;
  bool monitoring = false;
  int actualTemperatureC = 0;

  // Exposure runs.
  ExposureSettings exposure;
  bool exposureRunning = false;  // a run or the focus loop is under way; no second one starts
};

}  // namespace qv
