#include "files/ui/files_ui_commands.h"

#include <QWidget>

#include "app/messages.h"
#include "app/processing_history.h"
#include "app/settings_file.h"
#include "app/ui/main_window.h"
#include "files/autosave.h"
#include "files/fits_details.h"
#include "files/image_loader.h"
#include "files/save_commands.h"
#include "files/ui/auto_dialog.h"
#include "files/ui/delete_dialog.h"
#include "files/ui/file_dialogs.h"
#include "files/ui/fits_dialog.h"

namespace qv {

namespace {

void ShowTitle(ProgramState& state, QWidget* parent) {
  if (parent) parent->window()->setWindowTitle(TQel_VeskFrame::Caption(QString::fromStdString(state.files.imageTitle)));
}

std::optional<std::string> ChooseForSave(ProgramState& state, QWidget* parent, std::string_view filter,
                                         const QString& extension, const QString& defaultName) {
  return ChooseFile(parent, state.files, {filter, true, extension, defaultName, "Save As"});
}

std::optional<std::string> ChooseSelection(ProgramState& state, QWidget* parent, const QString& caption) {
  return ChooseFile(parent, state.files, {kSaveFilter, false, QString(), QString(), caption});
}

void Open(ProgramState& state, QtHost& host, QWidget* parent) {
  const auto path = ChooseFile(parent, state.files, {kOpenFilter, false, QString(), QString(), "Open"});
  if (!path) return;
  if (LoadImageFile(state, host, *path) == LoadResult::Loaded) ShowTitle(state, parent);
}

void SaveFits(ProgramState& state, QtHost& host, QWidget* parent, SaveMode mode) {
  PrepareFitsSave(state, host.clock());
  if (!EditFitsDetails(state.settings, parent)) return;
  const auto path = ChooseForSave(state, parent, kFitsFilter, "FIT", "*.FIT");
  if (!path) return;
  SaveImageAs(state, host, *path, mode);
  ShowTitle(state, parent);
}

}  // namespace

void RunOpenCommand(ProgramState& state, QtHost& host, QWidget* parent) { Open(state, host, parent); }

void RunLoadHotPixelMapCommand(ProgramState& state, QtHost& host, QWidget* parent) { Open(state, host, parent); }

void RunSaveCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  const auto path = ChooseForSave(state, parent, kSaveFilter, QString(), QString());
  if (!path) return;
  SaveImageAs(state, host, *path, SaveMode::Raw);
  ShowTitle(state, parent);
}

void RunSaveTiffCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  const auto path = ChooseForSave(state, parent, kTiffFilter, "TIF", QString());
  if (!path) return;
  SaveImageAs(state, host, *path, SaveMode::Tiff);
  ShowTitle(state, parent);
}

void RunSaveFitsCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  SaveFits(state, host, parent, SaveMode::Fits);
}

void RunSaveRgbFitsCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  if (!CheckRgbFitsSave(state, host)) return;
  SaveFits(state, host, parent, SaveMode::RgbFits);
}

void RunQuickSaveCommand(ProgramState& state, QtHost& host, QWidget*) { QuickSaveFits(state, host, host.clock()); }

void RunLoadNextAutosavedCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  if (LoadNextAutosavedFile(state, host) == LoadResult::Loaded) ShowTitle(state, parent);
}

void RunSaveFlatCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  const auto path = ChooseForSave(state, parent, kSaveFilter, QString(), QString());
  if (!path) return;
  SaveImageAs(state, host, *path, SaveMode::Flat);
  ShowTitle(state, parent);
}

void RunDeleteFileCommand(ProgramState& state, QtHost&, QWidget* parent) {
  const auto path = ChooseSelection(state, parent, "Delete File");
  if (!path) return;
  TDeleteDialog confirm(QString::fromStdString(*path), parent);
  if (confirm.exec() == QDialog::Accepted) DeleteChosenFile(*path);
}

void RunEditAutosaveFitsTextCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  EditAutosaveFitsText(state.settings, state.paths, host, [&] { return EditFitsDetails(state.settings, parent); });
}

void RunFitsDetailsCommand(ProgramState& state, QtHost&, QWidget* parent) { EditFitsDetails(state.settings, parent); }

void RunSelectDarkCommand(ProgramState& state, QtHost&, QWidget* parent) {
  if (const auto path = ChooseSelection(state, parent, "Select Dark Frame")) SelectDarkFrame(state, *path);
}

void RunSelectFlatCommand(ProgramState& state, QtHost&, QWidget* parent) {
  if (const auto path = ChooseSelection(state, parent, "Select Flatfield File")) SelectFlatField(state, *path);
}

void RunAutoProcessingCommand(ProgramState& state, QtHost& host, QWidget* parent) {
  TAutoDialog dialog(state.settings, host, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  if (SaveSettings(state.settings, state.paths) != SettingsStatus::Ok) ShowMessage(host, 24);
}

void RunProcessingHistoryCommand(ProgramState& state, QtHost& host, QWidget*) {
  host.showMessage(
      MessageBoxRequest{std::string(kHistoryCaption), HistoryBoxText(state.images.history), MessageIcon::None, -1});
}

const std::vector<std::pair<int, FilesUiCommand>>& FilesUiCommands() {
  static const std::vector<std::pair<int, FilesUiCommand>> commands{
      {24332, RunOpenCommand},           {32102, RunLoadHotPixelMapCommand},   {24333, RunSaveCommand},
      {24334, RunSaveTiffCommand},       {24335, RunSaveFitsCommand},          {133, RunSaveRgbFitsCommand},
      {24336, RunQuickSaveCommand},      {24337, RunLoadNextAutosavedCommand}, {127, RunSaveFlatCommand},
      {13, RunDeleteFileCommand},        {19, RunEditAutosaveFitsTextCommand}, {20, RunFitsDetailsCommand},
      {104, RunSelectDarkCommand},       {122, RunSelectFlatCommand},          {24324, RunAutoProcessingCommand},
      {17, RunProcessingHistoryCommand},
  };
  return commands;
}

}  // namespace qv
