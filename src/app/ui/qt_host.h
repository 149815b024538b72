#pragma once
// The program's user interface services for the core: message boxes, the
// progress dialog, cursors, beeps and event pumping; and the program's clock.

#include <QObject>
#include <QPointer>
#include <functional>

#include "app/clock.h"
#include "app/host.h"
#include "platform/system_clock.h"

class QProgressBar;
class QDialog;

namespace qv {

class QtHost final : public QObject, public Host {
  Q_OBJECT
 public:
  QtHost();
  ~QtHost() override;

  int showMessage(const MessageBoxRequest& box) override;
  void openProgress(std::string_view caption) override;
  void setProgress(int position) override;
  void closeProgress() override;
  void setWaitCursor(bool on) override;
  void beep() override;
  InputEvents pumpEvents() override;
  void requestRebuildDisplay() override;
  void requestRepaint() override;

  // The clock the program runs on: the system clock unless start-up chose
  // another (the virtual clock); it must outlive the host.
  Clock& clock() { return *clock_; }
  void useClock(Clock& clock) { clock_ = &clock; }

  // What the main window does on a rebuild or repaint request.
  std::function<void()> onRebuildDisplay;
  std::function<void()> onRepaint;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QDialog> progress_;
  QProgressBar* progressBar_ = nullptr;
  InputEvents seen_;
  int waitDepth_ = 0;
  SystemClock systemClock_;
  Clock* clock_ = &systemClock_;
};

}  // namespace qv
