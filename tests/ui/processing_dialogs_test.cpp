// The stretch and filter dialogs on the offscreen platform: their scroll
// rules, and OK / Cancel through the menu commands.

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <set>
#include <sstream>

#include "app/ui/qt_host.h"
#include "processing/ui/filter_dialogs.h"
#include "processing/ui/processing_ui_commands.h"
#include "processing/ui/stretch_dialog.h"
#include "processing/ui/stretch_parameter_dialogs.h"
#include "support/dialog_control.h"
#include "support/test_clock.h"

namespace {

QScrollBar* Bar(QWidget* dialog, int id) { return Control<QScrollBar>(dialog, id); }
QLineEdit* Edit(QWidget* dialog, int id) { return Control<QLineEdit>(dialog, id); }

void Trigger(QScrollBar* bar, QAbstractSlider::SliderAction action, int times = 1) {
  for (int i = 0; i < times; ++i) bar->triggerAction(action);
}

// Presses button `id` of the modal dialog that the next command opens, after
// letting `adjust` work on it.
void AnswerNextDialog(int id, std::function<void(QWidget*)> adjust = {}) {
  QTimer::singleShot(0, [id, adjust] {
    QWidget* dialog = QApplication::activeModalWidget();
    QVERIFY(dialog);
    if (adjust) adjust(dialog);
    Control<QPushButton>(dialog, id)->click();
  });
}

std::unique_ptr<qv::ProgramState> SmallImage() {
  auto state = std::make_unique<qv::ProgramState>();
  qv::SetFrameSize(state->geometry, 21, 15);
  for (int i = 0; i < 21 * 15; ++i) state->images.workImage[i] = static_cast<std::uint16_t>(i * 97);
  return state;
}

}  // namespace

// Asks through the command's dialog, then runs the command with the answers
// as the window does; false when the dialog was cancelled.
bool AskAndRun(qv::CommandId id, qv::ProgramState& state, qv::QtHost& host) {
  for (const auto& [dialogId, ask] : qv::ProcessingDialogs()) {
    if (dialogId != id) continue;
    auto args = ask(state, host, nullptr);
    if (!args) return false;
    qv::test::TestClock clock;
    std::ostringstream notes;
    qv::CommandContext context{state, host, clock, notes, notes};
    return qv::RunCommand(*qv::FindCommand(id), context, *args) == qv::CommandStatus::Done;
  }
  return false;
}

class ProcessingDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void normalStretchKeepsWhiteAboveBlack() {
    qv::QtHost host;
    std::array<std::uint32_t, qv::ImageStore::kHistogramBins> histogram{};
    histogram[40] = 100;
    qv::TStretchDialog dialog(histogram, host, {0, 255});
    QCOMPARE(Edit(&dialog, 101)->text(), QString("0"));
    QCOMPARE(Edit(&dialog, 104)->text(), QString("255"));
    QScrollBar* black = Bar(&dialog, 102);
    QScrollBar* white = Bar(&dialog, 103);
    QCOMPARE(black->maximum(), 255);
    QCOMPARE(white->minimum(), 1);
    QCOMPARE(white->maximum(), 300);
    Trigger(white, QAbstractSlider::SliderSingleStepAdd, 60);
    QCOMPARE(dialog.levels().white, 300);
    QCOMPARE(white->value(), 300);
    Trigger(black, QAbstractSlider::SliderSingleStepAdd, 20);
    Trigger(white, QAbstractSlider::SliderPageStepSub, 40);
    QCOMPARE(dialog.levels().white, 30);  // page steps stop 10 above black
    Trigger(white, QAbstractSlider::SliderSingleStepSub, 20);
    QCOMPARE(dialog.levels().white, 21);
    QCOMPARE(Edit(&dialog, 104)->text(), QString("21"));
    Trigger(black, QAbstractSlider::SliderSingleStepAdd, 5);
    QCOMPARE(dialog.levels().black, 20);
    white->setSliderPosition(15);  // a thumb below black is not taken
    QCOMPARE(dialog.levels().white, 21);
    QCOMPARE(white->value(), 21);
    white->setSliderPosition(200);
    QCOMPARE(dialog.levels().white, 200);
    Trigger(black, QAbstractSlider::SliderPageStepSub, 5);
    QCOMPARE(dialog.levels().black, 0);
    QCOMPARE(Edit(&dialog, 101)->text(), QString("0"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  }

  void powerStepsByTenths() {
    qv::QtHost host;
    qv::TPowerDialog dialog(host);
    QScrollBar* bar = Bar(&dialog, 101);
    QCOMPARE(bar->value(), 10);
    QCOMPARE(Edit(&dialog, 102)->text(), QString("1.0"));
    Trigger(bar, QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(Edit(&dialog, 102)->text(), QString("1.1"));
    Trigger(bar, QAbstractSlider::SliderSingleStepAdd, 30);
    QCOMPARE(Edit(&dialog, 102)->text(), QString("3.0"));
    QCOMPARE(bar->value(), 30);
    Trigger(bar, QAbstractSlider::SliderSingleStepSub, 40);
    QCOMPARE(Edit(&dialog, 102)->text(), QString("0.1"));
    QCOMPARE(dialog.exponent(), 0.1);
  }

  void nonLinearAdoptsTypedValues() {
    qv::QtHost host;
    qv::TNonLiniarDialog dialog(host, 25);
    QCOMPARE(Edit(&dialog, 102)->text(), QString("25"));
    QScrollBar* bar = Bar(&dialog, 213);
    Edit(&dialog, 102)->setText("40");
    Trigger(bar, QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(dialog.power(), 41);
    Edit(&dialog, 102)->setText("70");
    Trigger(bar, QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(dialog.power(), 40);
    QCOMPARE(Edit(&dialog, 102)->text(), QString("40"));
    Trigger(bar, QAbstractSlider::SliderSingleStepAdd, 20);
    QCOMPARE(dialog.power(), 50);
  }

  void unsharpAndMedianLimits() {
    qv::QtHost host;
    qv::TUnsharpDialog unsharp(host, 3, 1);
    QCOMPARE(Edit(&unsharp, 103)->text(), QString("3"));
    QCOMPARE(Edit(&unsharp, 104)->text(), QString("1"));
    Trigger(Bar(&unsharp, 101), QAbstractSlider::SliderSingleStepAdd, 9);
    Trigger(Bar(&unsharp, 102), QAbstractSlider::SliderSingleStepSub, 3);
    QCOMPARE(unsharp.radius(), 7);
    QCOMPARE(unsharp.power(), 1);
    QCOMPARE(Edit(&unsharp, 103)->text(), QString("7"));

    qv::TMedianDialog median(host, 1, 6);
    QCOMPARE(Edit(&median, 101)->text(), QString("1"));
    QCOMPARE(Edit(&median, 102)->text(), QString(".6"));
    Trigger(Bar(&median, 103), QAbstractSlider::SliderSingleStepAdd, 5);
    QCOMPARE(median.radius(), 3);
    Trigger(Bar(&median, 104), QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(Edit(&median, 102)->text(), QString("0.7"));
    Trigger(Bar(&median, 104), QAbstractSlider::SliderSingleStepAdd, 9);
    QCOMPARE(median.powerTenths(), 10);
    QCOMPARE(Edit(&median, 102)->text(), QString("1.0"));
    Trigger(Bar(&median, 104), QAbstractSlider::SliderSingleStepSub, 20);
    QCOMPARE(median.powerTenths(), 1);
  }

  void cancelLeavesImageAndHistoryAlone() {
    qv::QtHost host;
    for (const auto& [id, ask] : qv::ProcessingDialogs()) {
      if (id == qv::CommandId::NonLinearColourStretch) continue;  // refused on a mono image before asking
      auto state = SmallImage();
      const std::vector<std::uint16_t> before(state->images.workImage, state->images.workImage + 21 * 15);
      AnswerNextDialog(2);
      QVERIFY(!AskAndRun(id, *state, host));
      QCOMPARE(std::vector<std::uint16_t>(state->images.workImage, state->images.workImage + 21 * 15), before);
      QVERIFY(state->images.history.lines[0].empty());
    }
  }

  void okRunsTheOperationWithTheDialogValues() {
    qv::QtHost host;
    auto state = SmallImage();
    AnswerNextDialog(1, [](QWidget* dialog) {
      Trigger(Bar(dialog, 102), QAbstractSlider::SliderSingleStepAdd, 3);
      Trigger(Bar(dialog, 103), QAbstractSlider::SliderSingleStepSub, 5);
    });
    QVERIFY(AskAndRun(qv::CommandId::NormalStretch, *state, host));
    QCOMPARE(QString::fromStdString(state->images.history.lines[0].str()),
             QString("Normal Stretch : max 500 , min : 6"));
    AnswerNextDialog(1, [](QWidget* dialog) { Trigger(Bar(dialog, 104), QAbstractSlider::SliderSingleStepSub, 2); });
    QVERIFY(AskAndRun(qv::CommandId::MedianFilter, *state, host));
    QCOMPARE(QString::fromStdString(state->images.history.lines[1].str()), QString("Median Filter : rad 1 ,power 0.4"));
    AnswerNextDialog(1, [](QWidget* dialog) { Trigger(Bar(dialog, 101), QAbstractSlider::SliderSingleStepSub, 7); });
    QVERIFY(AskAndRun(qv::CommandId::PowerLawStretch, *state, host));
    QCOMPARE(QString::fromStdString(state->images.history.lines[2].str()), QString("Power Stretch :  0.3"));
    QCOMPARE(state->processing.powerLawExponent, 0.3);
    // Under the automatic processing the unsharp mask asks nothing.
    state->processing.autoProcessingRunning = true;
    state->settings.unsharpRadius = 2;
    state->settings.unsharpPower = 5;
    QVERIFY(AskAndRun(qv::CommandId::UnsharpMask, *state, host));
    QCOMPARE(QString::fromStdString(state->images.history.lines[3].str()), QString("Unsharp Mask : rad 2 ,power 5"));
  }
};

QTEST_MAIN(ProcessingDialogsTest)
#include "processing_dialogs_test.moc"
