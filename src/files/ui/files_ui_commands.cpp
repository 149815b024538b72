#include "files/ui/files_ui_commands.h"

#include <QWidget>

#include "app/messages.h"
#include "app/settings_file.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"
#include "files/fits_details.h"
#include "files/save_commands.h"
#include "files/ui/auto_dialog.h"
#include "files/ui/delete_dialog.h"
#include "files/ui/file_dialogs.h"
#include "files/ui/fits_dialog.h"

namespace qv {

namespace {

std::optional<CommandArgs> PathArgs(const std::optional<std::string>& path) {
  if (!path) return std::nullopt;
  return WindowArgs({}, {*path});
}

std::optional<CommandArgs> ChooseForSave(ProgramState& state, QWidget* parent, std::string_view filter,
                                         const QString& extension, const QString& defaultName) {
  return PathArgs(ChooseFile(parent, state.files, {filter, true, extension, defaultName, "Save As"}));
}

std::optional<std::string> ChooseSelection(ProgramState& state, QWidget* parent, const QString& caption) {
  return ChooseFile(parent, state.files, {kSaveFilter, false, QString(), QString(), caption});
}

std::optional<CommandArgs> AskOpen(ProgramState& state, QtHost&, QWidget* parent) {
  return PathArgs(ChooseFile(parent, state.files, {kOpenFilter, false, QString(), QString(), "Open"}));
}

std::optional<CommandArgs> AskSaveRaw(ProgramState& state, QtHost&, QWidget* parent) {
  return ChooseForSave(state, parent, kSaveFilter, QString(), QString());
}

std::optional<CommandArgs> AskSaveTiff(ProgramState& state, QtHost&, QWidget* parent) {
  return ChooseForSave(state, parent, kTiffFilter, "TIF", QString());
}

// The FITS details come first, filled in from the computer's date, then the
// file; the 8-bit choice of the details goes with the file.
std::optional<CommandArgs> AskFitsSave(ProgramState& state, QtHost& host, QWidget* parent) {
  PrepareFitsSave(state, host.clock());
  if (!EditFitsDetails(state.settings, parent)) return std::nullopt;
  auto args = ChooseForSave(state, parent, kFitsFilter, "FIT", "*.FIT");
  if (args) args->options.emplace_back("eight-bit", state.settings.fits.eightBit ? "1" : "0");
  return args;
}

std::optional<CommandArgs> AskSaveFits(ProgramState& state, QtHost& host, QWidget* parent) {
  return AskFitsSave(state, host, parent);
}

std::optional<CommandArgs> AskSaveRgbFits(ProgramState& state, QtHost& host, QWidget* parent) {
  if (!CheckRgbFitsSave(state, host)) return std::nullopt;
  auto args = AskFitsSave(state, host, parent);
  if (args) args->options.clear();
  return args;
}

std::optional<CommandArgs> AskDelete(ProgramState& state, QtHost&, QWidget* parent) {
  const auto path = ChooseSelection(state, parent, "Delete File");
  if (!path) return std::nullopt;
  TDeleteDialog confirm(QString::fromStdString(*path), parent);
  if (confirm.exec() != QDialog::Accepted) return std::nullopt;
  return WindowArgs({}, {*path});
}

std::optional<CommandArgs> AskSelectDark(ProgramState& state, QtHost&, QWidget* parent) {
  return PathArgs(ChooseSelection(state, parent, "Select Dark Frame"));
}

std::optional<CommandArgs> AskSelectFlat(ProgramState& state, QtHost&, QWidget* parent) {
  return PathArgs(ChooseSelection(state, parent, "Select Flatfield File"));
}

}  // namespace

const CommandDialogs& FilesDialogs() {
  using Id = CommandId;
  static const CommandDialogs dialogs{
      {Id::Open, AskOpen},
      {Id::LoadHotPixelMap, AskOpen},
      {Id::SaveRaw, AskSaveRaw},
      {Id::SaveTiff, AskSaveTiff},
      {Id::SaveFits, AskSaveFits},
      {Id::SaveRgbFits, AskSaveRgbFits},
      {Id::SaveFlat, AskSaveRaw},
      {Id::DeleteFile, AskDelete},
      {Id::SelectDarkFrame, AskSelectDark},
      {Id::SelectFlatField, AskSelectFlat},
  };
  return dialogs;
}

// The FITS texts and the automatic processing choices are edited in place by
// their dialogs.
void RegisterFilesUiCommands(UiCommands& commands, UiContext& ui) {
  AddCommandDialogs(commands, ui, FilesDialogs());
  ProgramState& state = ui.state;
  QtHost& host = ui.host;
  QWidget* parent = &ui.frame;
  commands[CommandId::EditAutosaveFitsText] = [&state, &host, parent] {
    // A cancelled dialog or a failed save (message 24 shown) needs nothing more here.
    static_cast<void>(EditAutosaveFitsText(state.settings, state.paths, host,
                                           [&] { return EditFitsDetails(state.settings, parent); }));
  };
  commands[CommandId::FitsDetails] = [&state, parent] { EditFitsDetails(state.settings, parent); };
  commands[CommandId::SetAutoProcessing] = [&state, &host, parent] {
    TAutoDialog dialog(state.settings, host, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    if (SaveSettings(state.settings, state.paths) != SettingsStatus::Ok) ShowMessage(host, 24);
  };
}

}  // namespace qv
