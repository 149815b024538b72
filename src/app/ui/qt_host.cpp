#include "app/ui/qt_host.h"

#include "app/ui/progress_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QVBoxLayout>

namespace qv {

QtHost::QtHost() {
  if (qApp) qApp->installEventFilter(this);
}

QtHost::~QtHost() {
  if (qApp) qApp->removeEventFilter(this);
  delete progress_.data();
}

int QtHost::showMessage(const MessageBoxRequest& box) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (box.icon) {
    case MessageIcon::Stop: icon = QMessageBox::Critical; break;
    case MessageIcon::Information: icon = QMessageBox::Information; break;
    case MessageIcon::Exclamation: icon = QMessageBox::Warning; break;
    case MessageIcon::Question: icon = QMessageBox::Question; break;
    case MessageIcon::None: break;
  }
  // No owner window, OK only, the caller's caption.
  QMessageBox message(icon, QString::fromStdString(box.caption), QString::fromStdString(box.text), QMessageBox::Ok);
  message.exec();
  return 1;
}

void QtHost::openProgress(std::string_view caption) {
  if (!progress_) {
    auto* dialog = new TProgressDialog();
    progress_ = dialog;
    progressBar_ = dialog->bar();
  }
  progress_->setWindowTitle(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
  progressBar_->setValue(0);
  progress_->show();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtHost::setProgress(int position) {
  if (!progress_) return;
  progressBar_->setValue(std::clamp(position, 0, kProgressRange));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtHost::closeProgress() {
  if (progress_) progress_->hide();
}

void QtHost::setWaitCursor(bool on) {
  if (on) {
    if (waitDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (waitDepth_ > 0 && --waitDepth_ == 0) {
    QApplication::restoreOverrideCursor();
  }
}

void QtHost::beep() { QApplication::beep(); }

InputEvents QtHost::pumpEvents() {
  seen_ = {};
  QCoreApplication::processEvents();
  return seen_;
}

bool QtHost::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) seen_.keyPressed = true;
  if (event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) seen_.leftButtonPressed = true;
    if (mouse->button() == Qt::RightButton) seen_.rightButtonPressed = true;
  }
  return QObject::eventFilter(watched, event);
}

void QtHost::requestRebuildDisplay() {
  if (onRebuildDisplay) onRebuildDisplay();
}

void QtHost::requestRepaint() {
  if (onRepaint) onRepaint();
}

}  // namespace qv
