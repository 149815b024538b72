// "Set Program Defaults" in the window: the settings file is read, the modal
// dialog runs, and after "Save Changes" the settings are saved, the telescope
// link set up again and the window brought up to date.

#include "app/program_defaults.h"
#include "app/ui/command_handlers.h"
#include "app/ui/main_window.h"
#include "app/ui/program_defaults_dialog.h"

namespace qv {

void RegisterDefaultsUiCommands(UiCommands& c, UiContext& ui) {
  c[CommandId::SetProgramDefaults] = [&ui] {
    OpenDefaults(ui.state, ui.host);
    TINIDialog dialog(ui.state, ui.host, ui.clock, &ui.frame);
    // A failed save has shown message 24; the dialog's values stay in force.
    if (dialog.exec() == QDialog::Accepted) static_cast<void>(FinishDefaults(ui.state, ui.host, ui.clock));
    ui.frame.updateTelescopeButton();
    ui.window.showDisplay();
  };
}

}  // namespace qv
