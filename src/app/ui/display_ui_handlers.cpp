// The main window's own commands: view and display options, mirror and
// flip, the display stretch, clipboard, undo, history, help, about, print,
// camera type and exit.

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>

#include "app/command_registry.h"
#include "app/display_commands.h"
#include "app/processing_history.h"
#include "app/ui/command_handlers.h"
#include "app/ui/help_about_print.h"
#include "app/ui/main_window.h"
#include "app/ui/stretch_display_dialog.h"
#include "app/undo_commands.h"
#include "camera/set_camera_type.h"

namespace qv {

namespace {

TStretchDisplayDialog& StretchDialog(UiContext& ui) {
  auto* dialog = ui.frame.findChild<TStretchDisplayDialog*>("dialog21");
  if (!dialog) {
    dialog = new TStretchDisplayDialog(
        ui.state, [&ui](int id) { ui.frame.dispatch(id); }, &ui.frame);
    QObject::connect(dialog, &TStretchDisplayDialog::closed, &ui.frame, [&ui] {
      ui.window.viewport()->setCursor(Qt::ArrowCursor);
      ui.window.viewport()->update();
    });
  }
  return *dialog;
}

void ToggleFlag(UiContext& ui, DisplayFlag flag) {
  ToggleDisplayFlag(ui.state, ui.host, flag);
  ui.window.showDisplay();
}

void StretchCommand(UiContext& ui, int id) {
  if (SetStretchDisplay(ui.state, ui.host, id)) {
    ui.window.showDisplay();
    ui.frame.updateStretchButton();
  }
}

}  // namespace

void RegisterDisplayUiHandlers(CommandHandlers& h, UiContext& ui) {
  auto& state = ui.state;
  auto& host = ui.host;
  auto& window = ui.window;

  h[301] = [&] {
    if (ToggleFitToScreen(state.display)) window.adjustScroller(true);
  };
  h[303] = [&] {
    if (ToggleCentreImage(state.display)) window.adjustScroller(true);
  };
  h[129] = [&] { ToggleFlag(ui, DisplayFlag::ShowCentre); };
  h[118] = [&] { ToggleFlag(ui, DisplayFlag::FalseColour); };
  h[119] = [&] { ToggleFlag(ui, DisplayFlag::AutoContrast); };
  h[123] = [&] {
    auto& dialog = StretchDialog(ui);
    dialog.show();
    dialog.raise();
    dialog.refresh();
  };
  h[302] = [&] {
    MirrorImage(state, host);
    window.showDisplay();
  };
  h[304] = [&] {
    FlipImage(state, host);
    window.showDisplay();
  };
  h[kStretchToggle] = [&] { StretchCommand(ui, kStretchToggle); };
  h[kStretchOn] = [&] { StretchCommand(ui, kStretchOn); };
  h[kStretchOff] = [&] { StretchCommand(ui, kStretchOff); };
  h[kStretchRefresh] = [&] { window.rebuildDisplay(); };
  h[891] = [&] { window.realizeDisplayPalette(); };
  h[899] = [&] { window.rebuildFromDisplayBytes(); };
  h[17999] = [&] {
    if (!window.shownImage().isNull()) QApplication::clipboard()->setImage(window.shownImage());
  };
  h[9] = [&] { UndoLastFilter(state, host); };
  h[810] = [&] { UndoLastColourFilter(state, host); };
  h[17] = [&] {
    host.showMessage({std::string(kHistoryCaption), HistoryBoxText(state.images.history), MessageIcon::None});
  };
  h[112] = [&] { ShowHelpWindow(host, &ui.frame); };
  h[113] = [&] {
    TAboutDialog about(&ui.frame);
    about.exec();
  };
  h[114] = [&] { ShowPrintSetup(&ui.frame); };
  h[116] = [&] { PrintDisplayBitmap(state, &ui.frame); };
  h[16102] = [&] { SetCameraType(state.settings, state.camera, state.geometry, state.paths); };
  h[24310] = [&] { ui.frame.close(); };
}

}  // namespace qv
