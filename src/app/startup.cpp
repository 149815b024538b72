#include "app/startup.h"

#include "app/messages.h"
#include "app/settings_file.h"
#include "camera/set_camera_type.h"

namespace qv {

void RunStartup(ProgramState& state, Host& host) {
  // The settings are read twice, as the main window does while it is made
  // (once before its background brush, once after). A failed read has shown
  // its message and left the defaults, which the program starts with.
  static_cast<void>(LoadSettings(state.settings, state.paths, host));
  static_cast<void>(LoadSettings(state.settings, state.paths, host));
  if (SetCameraType(state.settings, state.camera, state.geometry, state.paths) != SettingsStatus::Ok) {
    ShowMessage(host, 24);
  }
  StartupFill(state.images, state.geometry);
}

}  // namespace qv
