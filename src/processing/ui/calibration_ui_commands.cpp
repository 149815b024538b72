// The dialogs of the dark frame, flat field, merge and hot pixel map commands.

#include "app/ui/command_handlers.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"
#include "files/save_commands.h"
#include "files/ui/file_dialogs.h"
#include "processing/ui/hot_pixel_dialog.h"
#include "processing/ui/merge_dialog.h"

namespace qv {

namespace {

std::optional<CommandArgs> AskSecondFile(ProgramState& state, QWidget* parent, const QString& caption) {
  const auto path = ChooseFile(parent, state.files, {kSaveFilter, false, QString(), QString(), caption});
  if (!path) return std::nullopt;
  return WindowArgs({}, {*path});
}

std::optional<CommandArgs> AskDarkFrame(ProgramState& state, QtHost&, QWidget* parent) {
  return AskSecondFile(state, parent, "Subtract Dark Frame");
}

std::optional<CommandArgs> AskFlatField(ProgramState& state, QtHost&, QWidget* parent) {
  return AskSecondFile(state, parent, "Apply Flat Field");
}

}  // namespace

void RegisterCalibrationUiCommands(UiCommands& commands, UiContext& ui) {
  static const CommandDialogs dialogs{
      {CommandId::SubtractDarkFrame, AskDarkFrame},
      {CommandId::ApplyFlatField, AskFlatField},
  };
  AddCommandDialogs(commands, ui, dialogs);

  // Merging: the modeless dialog opens once merging has started and follows
  // every click and command until the merge ends.
  commands[CommandId::MergeImages] = [&ui] {
    if (RunFromWindow(ui, CommandId::MergeImages) != CommandStatus::Done) return;
    auto* dialog = new TMergeDialog(ui, &ui.frame);
    QObject::connect(&ui.window, &TQel_VeskWindow::mouseStateChanged, dialog, &TMergeDialog::refresh);
    QObject::connect(&ui.frame, &TQel_VeskFrame::commandFinished, dialog, &TMergeDialog::refresh);
    dialog->show();
  };

  commands[CommandId::CreateHotPixelMap] = [&ui] {
    THPMDialog dialog(ui.state, ui.host, &ui.frame);
    dialog.exec();
    ui.host.requestRepaint();
  };
}

}  // namespace qv
