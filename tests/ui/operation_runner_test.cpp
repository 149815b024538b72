// The window's driver of core operations: timer steps, presses handed on as
// cancel inputs, and the window free while the operation waits.

#include "app/ui/operation_runner.h"

#include <QSignalSpy>
#include <QWidget>
#include <QtTest>
#include <optional>
#include <vector>

#include "app/virtual_clock.h"
#include "platform/system_clock.h"

namespace {

// Steps `intervalMs` apart until a left press, then ends at its next step,
// which with `wakeOnPress` comes at once.
class UntilLeftPress final : public qv::Operation {
 public:
  qv::WakeTime start(std::uint32_t nowMs) override { return nowMs + intervalMs; }
  qv::WakeTime step(std::uint32_t nowMs) override {
    ++steps;
    stepTimes.push_back(nowMs);
    if (pressed) return qv::kOperationFinished;
    return nowMs + intervalMs;
  }
  std::optional<std::uint32_t> wakeForInput(std::uint32_t nowMs) override {
    return wakeOnPress && pressed ? std::optional<std::uint32_t>(nowMs) : std::nullopt;
  }
  std::uint32_t intervalMs = 5;
  bool wakeOnPress = false;
  void cancel() override { cancelled = true; }
  void input(qv::OperationInput event) override {
    inputs.push_back(event);
    if (event == qv::OperationInput::LeftButtonPress) pressed = true;
  }
  int steps = 0;
  std::vector<std::uint32_t> stepTimes;
  bool pressed = false, cancelled = false;
  std::vector<qv::OperationInput> inputs;
};

class FinishedAtOnce final : public qv::Operation {
 public:
  qv::WakeTime start(std::uint32_t) override { return qv::kOperationFinished; }
  qv::WakeTime step(std::uint32_t) override { return qv::kOperationFinished; }
  void cancel() override {}
  void input(qv::OperationInput) override {}
};

}  // namespace

class OperationRunnerTest : public QObject {
  Q_OBJECT
 private slots:
  void stepsUntilAPressAndHandsEachPressOnOnce() {
    qv::SystemClock clock;
    UntilLeftPress work;
    qv::OperationRunner runner(work, clock);
    QSignalSpy finished(&runner, &qv::OperationRunner::finished);
    QWidget window;
    window.show();
    QVERIFY(runner.start());
    QTRY_VERIFY(work.steps >= 2);
    QTest::keyClick(&window, Qt::Key_A);
    QVERIFY(runner.running());  // a key press does not end this operation
    QTest::mousePress(&window, Qt::LeftButton);
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(!runner.running());
    QCOMPARE(work.inputs,
             (std::vector<qv::OperationInput>{qv::OperationInput::KeyPress, qv::OperationInput::LeftButtonPress}));
    QVERIFY(!work.cancelled);

    // A press that ends a long wait is acted on at once.
    UntilLeftPress waiting;
    waiting.intervalMs = 60'000;
    waiting.wakeOnPress = true;
    qv::OperationRunner slow(waiting, clock);
    QSignalSpy slowFinished(&slow, &qv::OperationRunner::finished);
    QVERIFY(slow.start());
    QTest::mousePress(&window, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(slowFinished.count(), 1, 1000);
    QCOMPARE(waiting.steps, 1);
  }

  void aVirtualClockMovesOnByEachWait() {
    qv::VirtualClock clock;
    UntilLeftPress work;
    qv::OperationRunner runner(work, clock);
    QVERIFY(runner.start());
    QTRY_VERIFY(work.steps >= 3);
    runner.cancel();
    QCOMPARE(work.stepTimes[0], 5u);
    QCOMPARE(work.stepTimes[1], 10u);
    QCOMPARE(work.stepTimes[2], 15u);
  }

  void cancelEndsItAndAFinishedStartReportsSo() {
    qv::SystemClock clock;
    UntilLeftPress work;
    qv::OperationRunner runner(work, clock);
    QSignalSpy finished(&runner, &qv::OperationRunner::finished);
    QVERIFY(runner.start());
    runner.cancel();
    QVERIFY(work.cancelled);
    QCOMPARE(finished.count(), 1);
    const int steps = work.steps;
    QTest::qWait(30);
    QCOMPARE(work.steps, steps);  // no step after the cancel

    FinishedAtOnce nothing;
    qv::OperationRunner idle(nothing, clock);
    QVERIFY(!idle.start());
  }
};

QTEST_MAIN(OperationRunnerTest)
#include "operation_runner_test.moc"
