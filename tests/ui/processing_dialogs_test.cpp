// The stretch and filter dialogs on the offscreen platform: their scroll
// rules, and OK / Cancel through the menu commands.

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <set>

#include "app/ui/qt_host.h"
#include "processing/ui/filter_dialogs.h"
#include "processing/ui/processing_ui_commands.h"
#include "processing/ui/stretch_dialog.h"
#include "processing/ui/stretch_parameter_dialogs.h"

namespace {

QScrollBar* Bar(QWidget* dialog, int id) { return dialog->findChild<QScrollBar*>(QString("ctl%1").arg(id)); }
QLineEdit* Edit(QWidget* dialog, int id) { return dialog->findChild<QLineEdit*>(QString("ctl%1").arg(id)); }

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
    dialog->findChild<QPushButton*>(QString("ctl%1").arg(id))->click();
  });
}

std::unique_ptr<qv::ProgramState> SmallImage() {
  auto state = std::make_unique<qv::ProgramState>();
  qv::SetFrameSize(state->geometry, 21, 15);
  for (int i = 0; i < 21 * 15; ++i) state->images.workImage[i] = static_cast<std::uint16_t>(i * 97);
  return state;
}

}  // namespace

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
    const std::vector<qv::ProcessingUiCommand> withDialogs = {
        qv::RunNormalStretchCommand, qv::RunPowerLawStretchCommand, qv::RunNonLinearStretchCommand,
        qv::RunUnsharpMaskCommand, qv::RunMedianFilterCommand};
    for (qv::ProcessingUiCommand command : withDialogs) {
      auto state = SmallImage();
      const std::vector<std::uint16_t> before(state->images.workImage, state->images.workImage + 21 * 15);
      AnswerNextDialog(2);
      command(*state, host, nullptr);
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
    qv::RunNormalStretchCommand(*state, host, nullptr);
    QCOMPARE(QString::fromStdString(state->images.history.lines[0].str()),
             QString("Normal Stretch : max 500 , min : 6"));
    AnswerNextDialog(1, [](QWidget* dialog) { Trigger(Bar(dialog, 104), QAbstractSlider::SliderSingleStepSub, 2); });
    qv::RunMedianFilterCommand(*state, host, nullptr);
    QCOMPARE(QString::fromStdString(state->images.history.lines[1].str()), QString("Median Filter : rad 1 ,power 0.4"));
    // Under the automatic processing the unsharp mask asks nothing.
    state->processing.autoProcessingRunning = true;
    state->settings.unsharpRadius = 2;
    state->settings.unsharpPower = 5;
    qv::RunUnsharpMaskCommand(*state, host, nullptr);
    QCOMPARE(QString::fromStdString(state->images.history.lines[2].str()), QString("Unsharp Mask : rad 2 ,power 5"));
  }

  void everyMenuCommandHasOneEntry() {
    std::set<int> ids;
    for (const auto& entry : qv::ProcessingUiCommands()) {
      QVERIFY(entry.run);
      QVERIFY(ids.insert(entry.id).second);
    }
    QCOMPARE(ids, (std::set<int>{1, 2, 3, 4, 5, 7, 18, 102, 103, 105, 106, 107, 108, 109, 117, 120, 128, 172}));
  }
};

QTEST_MAIN(ProcessingDialogsTest)
#include "processing_dialogs_test.moc"
