#include "app/startup.h"

#include "app/settings_file.h"
#include "camera/set_camera_type.h"

namespace qv {

void RunStartup(ProgramState& state, Host& host) {
  // The settings are read twice, as the main window does while it is made
  // (once before its background brush, once after); the results are ignored.
  LoadSettings(state.settings, state.paths, host);
  LoadSettings(state.settings, state.paths, host);
  SetCameraType(state.settings, state.camera, state.geometry, state.paths);
  StartupFill(state.images, state.geometry);
}

}  // namespace qv
