#include "app/ui/operation_runner.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace qv {

OperationRunner::OperationRunner(Operation& operation, Clock& clock, QObject* parent)
    : QObject(parent), operation_(operation), clock_(clock) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &OperationRunner::stepNow);
}

OperationRunner::~OperationRunner() {
  if (running_) operation_.cancel();
  stop();
}

bool OperationRunner::start() {
  if (running_) return true;
  running_ = true;
  if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
  schedule(operation_.start(clock_.milliseconds()));
  return running_;
}

void OperationRunner::cancel() {
  if (!running_) return;
  operation_.cancel();
  stop();
}

void OperationRunner::schedule(const WakeTime& wake) {
  if (!wake) {
    stop();
    return;
  }
  wakeMs_ = *wake;
  timer_.start(static_cast<int>(MsUntil(wakeMs_, clock_.milliseconds())));
}

void OperationRunner::wakeForPress() {
  // A press that ends the wait is acted on now, not at the step already
  // asked for (which may be a long pause away). The step runs from the
  // timer, never inside this event's delivery.
  const std::uint32_t now = clock_.milliseconds();
  const auto sooner = operation_.wakeForInput(now);
  if (!sooner || MsUntil(*sooner, now) >= MsUntil(wakeMs_, now)) return;
  wakeMs_ = *sooner;
  timer_.start(static_cast<int>(MsUntil(wakeMs_, now)));
}

void OperationRunner::stepNow() {
  if (!running_) return;
  // The timer can fire a little early, and a virtual clock does not move by
  // itself: the rest of the wait is waited on the program's clock, so every
  // step comes at the time it asked for and a virtual calendar moves on by it.
  const std::uint32_t rest = MsUntil(wakeMs_, clock_.milliseconds());
  if (rest > 0) clock_.sleepMs(rest);
  schedule(operation_.step(clock_.milliseconds()));
}

void OperationRunner::stop() {
  timer_.stop();
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
  if (running_) {
    running_ = false;
    emit finished();
  }
}

bool OperationRunner::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (running_ && (type == QEvent::KeyPress || type == QEvent::MouseButtonPress)) {
    const auto* input = static_cast<QInputEvent*>(event);
    const int button =
        type == QEvent::MouseButtonPress ? static_cast<int>(static_cast<QMouseEvent*>(event)->button()) : 0;
    const bool repeat = type == lastType_ && input->timestamp() == lastTimestamp_ && button == lastButton_;
    lastType_ = type;
    lastTimestamp_ = input->timestamp();
    lastButton_ = button;
    if (!repeat) {
      bool handed = true;
      if (type == QEvent::KeyPress) {
        operation_.input(OperationInput::KeyPress);
      } else if (button == Qt::LeftButton) {
        operation_.input(OperationInput::LeftButtonPress);
      } else if (button == Qt::RightButton) {
        operation_.input(OperationInput::RightButtonPress);
      } else {
        handed = false;
      }
      if (handed) wakeForPress();
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace qv
