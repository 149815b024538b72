#pragma once
// Runs a core operation inside the window's event loop: a single-shot timer
// fires at each wake-up the operation asks for, and every key or mouse
// button pressed anywhere in the program meanwhile is handed to it as a
// cancel input, stepping it at once when the press ends its wait. The window
// stays responsive while the operation waits. On the virtual clock the steps
// keep the timer's pace, so the window stays usable, and the clock moves on
// by each wait.

#include <QObject>
#include <QTimer>

#include "app/clock.h"
#include "app/operation.h"

namespace qv {

class OperationRunner final : public QObject {
  Q_OBJECT
 public:
  // The operation and the clock must outlive the runner.
  OperationRunner(Operation& operation, Clock& clock, QObject* parent = nullptr);
  ~OperationRunner() override;

  // Starts the operation; false when it finished at once.
  bool start();
  // Ends the operation now.
  void cancel();
  bool running() const { return running_; }

 signals:
  void finished();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void schedule(const WakeTime& wake);
  void stepNow();
  void wakeForPress();
  void stop();

  Operation& operation_;
  Clock& clock_;
  QTimer timer_;
  std::uint32_t wakeMs_ = 0;
  bool running_ = false;
  // One press reaches the filter once for each object it passes through;
  // it is handed on once.
  int lastType_ = 0;
  quint64 lastTimestamp_ = 0;
  int lastButton_ = 0;
};

}  // namespace qv
