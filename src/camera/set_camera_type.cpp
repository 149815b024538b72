#include "camera/set_camera_type.h"

namespace qv {

void ApplyCameraType(const ProgramSettings& settings, CameraState& camera, FrameGeometry& geometry) {
  if (auto model = FindCameraModel(settings.cameraType)) camera.model = *model;
  camera.focusWindowMode = kWindowedFocusMode;
  camera.focusCentreX = camera.subFrameCentreX = camera.model.sensorWidth / 2;
  camera.focusCentreY = camera.subFrameCentreY = camera.model.sensorHeight / 2;
  camera.subFrameWidth = camera.model.sensorWidth / 2;
  camera.subFrameHeight = camera.model.sensorHeight / 2;
  camera.guideBoxOriginX = camera.focusCentreX - kGuideBoxHalf;
  camera.guideBoxOriginY = camera.focusCentreY - kGuideBoxHalf;
  RecomputeFrameGeometry(geometry, camera.model);
}

SettingsStatus SetCameraType(ProgramSettings& settings, CameraState& camera, FrameGeometry& geometry,
                             const DataPaths& paths) {
  ApplyCameraType(settings, camera, geometry);
  return SaveSettings(settings, paths);
}

}  // namespace qv
