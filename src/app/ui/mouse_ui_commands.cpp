// The dialogs of the label and sub-frame commands.

#include <string>

#include "app/mouse_modes.h"
#include "app/ui/command_handlers.h"
#include "app/ui/label_dialog.h"
#include "app/ui/qt_host.h"
#include "app/ui/sub_frame_dialog.h"

namespace qv {

namespace {

// The label text starts empty; the "Auto Date" box keeps its last state.
std::optional<CommandArgs> AskLabel(ProgramState& state, QtHost& host, QWidget* parent) {
  int& autoDate = state.processing.labelAutoDate;
  TLabelDialog dialog(autoDate != 0, parent);
  const bool ok = dialog.exec() == QDialog::Accepted;
  autoDate = dialog.autoDate();
  host.requestRepaint();
  if (!ok) return std::nullopt;
  return WindowArgs({{"date", autoDate ? "1" : "0"}}, {dialog.text()});
}

// Whatever the dialog returns, the size last chosen is taken.
std::optional<CommandArgs> AskSubFrameSize(ProgramState& state, QtHost& host, QWidget* parent) {
  TSubFrameDialog dialog(host, state.camera.focusWindowMode, parent);
  dialog.exec();
  const int mode = dialog.windowMode();
  const int size = mode == kSubFrameHalf || mode == kSubFrameThird ? mode : kSubFrameQuarter;
  return WindowArgs({}, {std::to_string(size)});
}

}  // namespace

void RegisterMouseUiCommands(UiCommands& commands, UiContext& ui) {
  static const CommandDialogs dialogs{
      {CommandId::Label, AskLabel},
      {CommandId::SubFrameSelection, AskSubFrameSize},
  };
  AddCommandDialogs(commands, ui, dialogs);
}

}  // namespace qv
