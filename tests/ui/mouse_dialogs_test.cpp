// Clicks on the main window, and the label, sub-frame, merge and hot pixel
// dialogs, on the offscreen platform.

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/startup.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"
#include "processing/photometry.h"
#include "support/dialog_control.h"

namespace {

// Lets `answer` work on the modal dialog the next command opens.
void AnswerNextDialog(std::function<void(QWidget*)> answer) {
  QTimer::singleShot(0, [answer] {
    QWidget* dialog = QApplication::activeModalWidget();
    QVERIFY(dialog);
    answer(dialog);
  });
}

struct Window {
  QTemporaryDir root;
  qv::ProgramState state;
  qv::QtHost host;
  std::unique_ptr<qv::TQel_VeskFrame> frame;

  Window() {
    state.paths.root = root.path().toStdString();
    qv::RunStartup(state, host);
    frame = std::make_unique<qv::TQel_VeskFrame>(state, host);
    frame->show();
  }
  void trigger(qv::CommandId id) { frame->findChild<QAction*>(QString("cmd%1").arg(qv::ToInt(id)))->trigger(); }
  QWidget* viewport() { return frame->client()->viewport(); }
};

}  // namespace

class MouseDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void photometryClicksReachTheCore() {
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(w.frame.get()));
    w.trigger(qv::CommandId::Photometry);
    QVERIFY(w.state.analysis.photometry.open);
    QCOMPARE(w.viewport()->cursor().shape(), Qt::CrossCursor);
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, QPoint(50, 60));
    QCOMPARE(w.state.analysis.photometry.object.x, 50);
    QCOMPARE(w.state.analysis.photometry.object.y, 60);
    qv::ChoosePhotometryMeasure(w.state.analysis.photometry, 'c');
    QTest::mouseClick(w.viewport(), Qt::RightButton, {}, QPoint(70, 80));
    QCOMPARE(w.state.analysis.photometry.comparison.x, 70);
    QVERIFY(w.frame->commandAction(qv::CommandId::Photometry)->isChecked());
    // A press that cancels an exposure is no click, even when the run has
    // ended before the button comes up.
    w.state.camera.exposureRunning = true;
    QTest::mousePress(w.viewport(), Qt::LeftButton, {}, QPoint(90, 100));
    w.state.camera.exposureRunning = false;
    QTest::mouseRelease(w.viewport(), Qt::LeftButton, {}, QPoint(90, 100));
    QCOMPARE(w.state.analysis.photometry.comparison.x, 70);
  }

  void labelDialogDrawsTheText() {
    Window w;
    AnswerNextDialog([](QWidget* dialog) {
      Control<QLineEdit>(dialog, 4090)->setText(QString(40, 'x'));
      QCOMPARE(Control<QLineEdit>(dialog, 4090)->text().size(), 30);
      Control<QPushButton>(dialog, 104)->click();
    });
    w.trigger(qv::CommandId::Label);
    QVERIFY(qv::HasHeaderBand(w.state.images.workImage));
    // Thirty x's after 17 spaces: the first from column 136, none after the thirtieth.
    const int row3 = 3 * w.state.geometry.width;
    QCOMPARE(int(w.state.images.workImage[row3 + 136 + 1]), 65535);
    QCOMPARE(int(w.state.images.workImage[row3 + 136 + 29 * 8 + 1]), 65535);
    QCOMPARE(int(w.state.images.workImage[row3 + 136 + 30 * 8 + 1]), 0);
  }

  void subFrameDialogSetsTheSize() {
    Window w;
    AnswerNextDialog([](QWidget* dialog) {
      QVERIFY(Control<QRadioButton>(dialog, 210)->isChecked());
      Control<QRadioButton>(dialog, 211)->click();
      Control<QPushButton>(dialog, 1)->click();
    });
    w.trigger(qv::CommandId::SubFrameSelection);
    QCOMPARE(w.state.camera.focusWindowMode, 3);
    QCOMPARE(w.state.camera.subFrameWidth, 433);
    QCOMPARE(w.state.camera.subFrameCentreX, w.state.geometry.width / 2);
  }

  void mergeDialogFollowsTheMarks() {
    Window w;
    w.trigger(qv::CommandId::MergeImages);
    auto* dialog = w.frame->findChild<QDialog*>("dialog13");
    QVERIFY(dialog);
    QVERIFY(Control<QRadioButton>(dialog, 101)->isChecked());
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, QPoint(40, 50));
    QCOMPARE(Control<QLineEdit>(dialog, 104)->text(), QString("40"));
    QCOMPARE(Control<QLineEdit>(dialog, 106)->text(), QString("50"));
    Control<QCheckBox>(dialog, 103)->click();
    Control<QCheckBox>(dialog, 1310)->click();
    QVERIFY(!Control<QCheckBox>(dialog, 103)->isChecked());
    QCOMPARE(w.state.processing.merge.specialAverage, 1);
    for (auto* button : dialog->findChildren<QPushButton*>()) {
      if (button->text() == "Cancel") button->click();
    }
    QCOMPARE(w.state.processing.merge.mergeMode, 0);
  }

  void hotPixelScrollerFollowsTheCount() {
    Window w;
    const int width = w.state.geometry.width;
    std::fill_n(w.state.images.workImage, w.state.geometry.pixelCount, 100);
    for (int i = 0; i < 4; ++i) w.state.images.workImage[(20 + i) * width + 30] = 64'050;
    w.state.images.workImage[30 * width + 40] = 64'150;
    AnswerNextDialog([](QWidget* dialog) {
      QScrollBar* bar = Control<QScrollBar>(dialog, 32007);
      bar->setSliderPosition(64'000);
      QCOMPARE(Control<QLineEdit>(dialog, 32003)->text(), QString("5"));
      bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
      QCOMPARE(Control<QLineEdit>(dialog, 32005)->text(), QString("64100"));
      QCOMPARE(Control<QLineEdit>(dialog, 32003)->text(), QString("1"));
      Control<QPushButton>(dialog, 2)->click();
    });
    w.trigger(qv::CommandId::CreateHotPixelMap);
    QCOMPARE(w.state.files.hotPixelCount, 1);
    QCOMPARE(w.state.files.hotPixelMapValid, 1);
  }
};

QTEST_MAIN(MouseDialogsTest)
#include "mouse_dialogs_test.moc"
