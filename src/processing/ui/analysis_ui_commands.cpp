// The analysis commands in the window: each opens its modeless dialog when
// the core lets the view open, sets the window's cursor for its mouse mode,
// and restores the cursor when the dialog closes.

#include <QScrollBar>

#include "app/mouse_modes.h"
#include "app/ui/command_handlers.h"
#include "app/ui/main_window.h"
#include "processing/analysis_views.h"
#include "processing/ui/analysis_dialogs.h"

namespace qv {

namespace {

// The connections below are held by the client window: when the main frame
// is torn down the window goes first, so a dialog deleted after it calls
// nothing on it.

void Present(QDialog* dialog) {
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->show();
  dialog->raise();
}

// The window's cursor while a mouse mode runs, the arrow after it.
void CursorUntilClosed(UiContext& ui, QDialog* dialog, Qt::CursorShape shape) {
  ui.window.viewport()->setCursor(shape);
  QObject::connect(dialog, &QObject::destroyed, &ui.window, [&ui] {
    ui.window.viewport()->setCursor(Qt::ArrowCursor);
    ui.frame.refreshCommandStates();
  });
}

}  // namespace

void RegisterAnalysisUiCommands(UiCommands& c, UiContext& ui) {
  using Id = CommandId;
  c[Id::Histogram] = [&ui] {
    if (OpenHistogram(ui.state, ui.host, ui.clock) != ViewOpening::Opened) return;
    auto* dialog = new THistogramDialog(ui.state, ui.host, &ui.frame);
    dialog->followPaintsOf(ui.window.viewport());
    Present(dialog);
  };
  c[Id::Photometry] = [&ui] {
    if (!StartPhotometry(ui.state, ui.host)) return;
    auto* dialog = new TPhotometryDialog(ui.state, ui.host, &ui.frame);
    CursorUntilClosed(ui, dialog, Qt::CrossCursor);
    Present(dialog);
  };
  c[Id::IntensityPlotRow] = [&ui] {
    if (OpenRowPlot(ui.state, ui.host) != ViewOpening::Opened) return;
    auto* dialog = new TRowPlotDialog(ui.state, &ui.frame);
    CursorUntilClosed(ui, dialog, Qt::UpArrowCursor);
    Present(dialog);
  };
  c[Id::IntensityPlot3d] = [&ui] {
    if (OpenPlot3d(ui.state) != ViewOpening::Opened) return;
    Present(new TPlot3dDialog(ui.state, &ui.frame));
  };
  c[Id::ShowValues] = [&ui] {
    if (auto* open = ui.frame.findChild<TPixelValuesDialog*>("dialog28")) {
      open->raise();
      return;
    }
    // The values view always opens; the dialog is its only view.
    static_cast<void>(OpenPixelValues(ui.state));
    auto* dialog = new TPixelValuesDialog(
        ui.state, ui.host,
        [&ui](char letter) {
          static_cast<void>(RunFromWindow(ui, CommandId::ChannelView, WindowArgs({}, {std::string(1, letter)})));
        },
        &ui.frame);
    // Finishing shows the full-colour picture again.
    QObject::connect(dialog, &QObject::destroyed, &ui.window, [&ui] { ui.window.showDisplay(); });
    Present(dialog);
  };
}

}  // namespace qv
