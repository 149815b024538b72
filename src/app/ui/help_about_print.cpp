#include "app/ui/help_about_print.h"

#include <QFile>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/host.h"
#include "app/paths.h"
#include "app/ui/dialog_buttons.h"

namespace qv {

void ShowHelpWindow(Host& host, QWidget* parent, const QString& page) {
  const QString resource = page.startsWith("qrc:") ? page.mid(3) : page;
  if (!QFile::exists(resource)) {
    host.showMessage({"Qel_K8", "WinHelp failed!", MessageIcon::Stop});
    return;
  }
  auto* window = parent ? parent->findChild<QTextBrowser*>("helpWindow") : nullptr;
  if (!window) {
    window = new QTextBrowser(parent);
    window->setObjectName("helpWindow");
    window->setWindowFlags(Qt::Window);
    window->setWindowTitle("Qel_Vesk_USB Help");
    window->setOpenExternalLinks(false);
    window->resize(700, 600);
  }
  window->setSource(QUrl(page));
  window->show();
  window->raise();
}

TAboutDialog::TAboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("dialog15");
  setWindowTitle("Help About QEL_VESK_USB");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel("Qel_Vesk_USB Image processing software for use with Corvane Qel K Series Colour cameras", this));
  layout->addWidget(new QLabel("Version 0.1 for Linux", this));
  layout->addWidget(new QLabel("Built " __DATE__, this));
  layout->addLayout(MakeDialogButtonRow(this, {.cancel = QString()}).layout);
}

QPrinter& ProgramPrinter() {
  static QPrinter printer(QPrinter::HighResolution);
  return printer;
}

void ShowPrintSetup(QWidget* parent) {
  QPageSetupDialog dialog(&ProgramPrinter(), parent);
  dialog.exec();
}

void PrintDisplayBitmap(const ProgramState& state, QWidget* parent) {
  // Like the print tool it stands for, printing reports nothing when the
  // bitmap cannot be read.
  const QImage image(QString::fromStdString(NativePath(state.paths, state.geometry.bitmapName)));
  QPrintDialog dialog(&ProgramPrinter(), parent);
  if (image.isNull() || dialog.exec() != QDialog::Accepted) return;
  QPainter painter(&ProgramPrinter());
  const QRect page = painter.viewport();
  QSize size = image.size();
  size.scale(page.size(), Qt::KeepAspectRatio);
  painter.setViewport(page.x(), page.y(), size.width(), size.height());
  painter.setWindow(image.rect());
  painter.drawImage(0, 0, image);
}

}  // namespace qv
