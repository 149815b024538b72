#include "app/ui/command_handlers.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"
#include "camera/photo_guiding.h"
#include "camera/ui/camera_dialog.h"

namespace qv {

void RegisterCameraUiCommands(UiCommands& commands, UiContext& ui) {
  commands[CommandId::CameraInterface] = [&ui] {
    RunCameraInterface(ui.state, ui.host, ui.clock, &ui.frame, [&ui](int result) {
      if (const auto next = CommandAfterCameraDialog(ui.state, result)) ui.frame.dispatch(*next);
    });
  };
}

}  // namespace qv
