#include "app/ui/main_window.h"

#include <QPainter>
#include <QStatusBar>

namespace qv {

TQel_VeskWindow::TQel_VeskWindow(ProgramState& state, QtHost& host, QWidget* parent)
    : QWidget(parent), state_(state), host_(host) {
  setObjectName("TQel_VeskWindow");
}

void TQel_VeskWindow::paintEvent(QPaintEvent*) {
  // No picture until the first command rebuilds the display: the client
  // shows the background colour chosen in the settings.
  const auto& d = state_.settings.derived;
  QPainter painter(this);
  painter.fillRect(rect(), QColor(d.backgroundRed, d.backgroundGreen, d.backgroundBlue));
}

TQel_VeskFrame::TQel_VeskFrame(ProgramState& state, QtHost& host)
    : client_(new TQel_VeskWindow(state, host, this)) {
  setObjectName("TQel_VeskFrame");
  setWindowTitle(Caption(QString()));
  setCentralWidget(client_);
  statusBar()->showMessage("Qel Vesk Camera Control and Image processing program");
  resize(900, 700);
}

QString TQel_VeskFrame::Caption(const QString& fileName) {
  return "Qel_Vesk_USB - " + (fileName.isEmpty() ? QString("(Untitled)") : fileName);
}

}  // namespace qv
