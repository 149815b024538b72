#pragma once
// "Set Camera Type": loads the current camera type's model, centres the focus
// frame, sub-frame and guide box, recomputes the frame geometry and writes
// the settings file.

#include "app/frame_geometry.h"
#include "app/paths.h"
#include "app/program_settings.h"
#include "app/settings_file.h"
#include "camera/camera_state.h"

namespace qv {

inline constexpr int kWindowedFocusMode = 2;
inline constexpr int kGuideBoxHalf = 64;

// A code outside the table leaves the model as it is; the rest runs for
// every code. Nothing is written.
void ApplyCameraType(const ProgramSettings& settings, CameraState& camera, FrameGeometry& geometry);

// ApplyCameraType, then the settings save; returns the result of the save.
SettingsStatus SetCameraType(ProgramSettings& settings, CameraState& camera, FrameGeometry& geometry,
                             const DataPaths& paths);

}  // namespace qv
