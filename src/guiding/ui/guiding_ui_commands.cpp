#include <QDialog>
#include <QPointer>

#include "app/ui/command_handlers.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"
#include "guiding/ui/move_telescope_dialog.h"

namespace qv {

void RegisterGuidingUiCommands(UiCommands& commands, UiContext& ui) {
  auto open = std::make_shared<QPointer<QDialog>>();
  commands[CommandId::TelescopeControl] = [&ui, open] {
    if (*open) {
      (*open)->raise();
      (*open)->activateWindow();
      return;
    }
    *open = OpenMoveTelescope(ui.state, ui.host, ui.clock, &ui.frame);
  };
}

}  // namespace qv
