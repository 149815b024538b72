#pragma once
// The current camera model and the read-out positions that follow from it.

#include "camera/camera_models.h"

namespace qv {

struct CameraState {
  CameraModel model = BuiltInCameraModel();
  int focusWindowMode = 0;  // 2: windowed read-out of the focus frame
  int focusCentreX = 0, focusCentreY = 0;
  int subFrameCentreX = 0, subFrameCentreY = 0;
  int guideBoxOriginX = 0, guideBoxOriginY = 0;  // top-left of the 128 x 128 guide box
};

}  // namespace qv
