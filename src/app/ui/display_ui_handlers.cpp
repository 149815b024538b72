// The main window's own commands: fit and centre, the Stretch Display
// dialog, the palette and the rebuild it sends itself, the clipboard, the
// history box, help, about, print and exit.

#include <QApplication>
#include <QClipboard>

#include "app/display_commands.h"
#include "app/processing_history.h"
#include "app/ui/command_handlers.h"
#include "app/ui/help_about_print.h"
#include "app/ui/main_window.h"
#include "app/ui/stretch_display_dialog.h"

namespace qv {

namespace {

TStretchDisplayDialog& StretchDialog(UiContext& ui) {
  auto* dialog = ui.frame.findChild<TStretchDisplayDialog*>("dialog21");
  if (!dialog) {
    dialog = new TStretchDisplayDialog(
        ui.state, [&ui](CommandId id) { ui.frame.dispatch(id); }, &ui.frame);
    QObject::connect(dialog, &TStretchDisplayDialog::closed, &ui.frame, [&ui] {
      ui.window.viewport()->setCursor(Qt::ArrowCursor);
      ui.window.viewport()->update();
    });
  }
  return *dialog;
}

}  // namespace

void RegisterDisplayUiCommands(UiCommands& c, UiContext& ui) {
  auto& state = ui.state;
  auto& host = ui.host;
  auto& window = ui.window;
  using Id = CommandId;

  c[Id::FitToScreen] = [&] {
    if (ToggleFitToScreen(state.display)) window.adjustScroller(true);
  };
  c[Id::CentreImage] = [&] {
    if (ToggleCentreImage(state.display)) window.adjustScroller(true);
  };
  c[Id::StretchDisplayDialog] = [&] {
    auto& dialog = StretchDialog(ui);
    dialog.show();
    dialog.raise();
    dialog.refresh();
  };
  c[Id::RealizePalette] = [&] { window.realizeDisplayPalette(); };
  c[Id::RebuildDisplay] = [&] { window.rebuildFromDisplayBytes(); };
  c[Id::Copy] = [&] {
    if (!window.shownImage().isNull()) QApplication::clipboard()->setImage(window.shownImage());
  };
  // The window shows the history in a box where the command-line tool prints it.
  c[Id::ProcessingHistory] = [&] {
    host.showMessage({std::string(kHistoryCaption), HistoryBoxText(state.images.history), MessageIcon::None});
  };
  c[Id::Help] = [&] { ShowHelpWindow(host, &ui.frame); };
  c[Id::About] = [&] {
    TAboutDialog about(&ui.frame);
    about.exec();
  };
  c[Id::PrintSetup] = [&] { ShowPrintSetup(&ui.frame); };
  c[Id::Print] = [&] { PrintDisplayBitmap(state, &ui.frame); };
  c[Id::Exit] = [&] { ui.frame.close(); };
}

}  // namespace qv
