// The camera control dialog on the offscreen platform with the simulated
// camera: ranges and their maxima, refused edits, Take Photo, the guiding
// buttons, the set point, and the window painting while the exposure it
// starts runs.

#include "camera/ui/camera_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "app/display_rebuild.h"
#include "app/null_host.h"
#include "app/settings_file.h"
#include "app/ui/qt_host.h"
#include "camera/exposure_run.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "sim/sim_world.h"
#include "support/dialog_control.h"
#include "support/sim_camera.h"

namespace {

struct Rig : qv::test::SimCamera<qv::QtHost> {
  Rig() {
    MakeSimCamera();
    ConnectSimCamera();
  }
};

// Counts its paints and asks for one every 20 ms, as a window kept current does.
class PaintCounter final : public QWidget {
 public:
  PaintCounter() {
    connect(&tick, &QTimer::timeout, this, [this] { update(); });
    tick.start(20);
  }
  int paints = 0;
  QTimer tick;

 protected:
  void paintEvent(QPaintEvent*) override { ++paints; }
};

}  // namespace

class CameraDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void rangeButtonsSetTheMaxima() {
    Rig rig;
    qv::TWyDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    auto* value = Control<QLineEdit>(&dialog, 105);
    value->setText("7");
    Control<QRadioButton>(&dialog, 175)->click();  // Minutes
    QCOMPARE(rig.state->camera.exposure.maximum, 90);
    QCOMPARE(value->text(), QString("1"));
    Control<QRadioButton>(&dialog, 171)->click();  // Thousandths
    QCOMPARE(rig.state->camera.exposure.maximum, 500);
    QCOMPARE(value->text(), QString("5"));
    Control<QRadioButton>(&dialog, 173)->click();  // Tenth's
    QCOMPARE(rig.state->camera.exposure.maximum, 100);
    auto* arrows = Control<QScrollBar>(&dialog, 104);
    arrows->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(value->text(), QString("6"));
    QCOMPARE(Control<QLineEdit>(&dialog, 14)->text(), QString("Single Image"));
    Control<QLineEdit>(&dialog, 112)->setText("3");
    emit Control<QLineEdit>(&dialog, 112)->editingFinished();
    QCOMPARE(Control<QLineEdit>(&dialog, 14)->text(), QString("Auto Merging"));
  }

  void editsRefuseValuesOutsideTheirRange() {
    Rig rig;
    qv::TWyDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    Control<QRadioButton>(&dialog, 175)->click();  // Minutes, 1..90
    auto* value = Control<QLineEdit>(&dialog, 105);
    for (const char* bad : {"91", "-3", "70000"}) {
      value->setText(bad);
      emit value->editingFinished();
      QCOMPARE(rig.state->camera.exposure.value, 1);
      QCOMPARE(value->text(), QString("1"));
    }
    auto* count = Control<QLineEdit>(&dialog, 112);
    for (const char* bad : {"10000", "-2"}) {
      count->setText(bad);
      emit count->editingFinished();
      QCOMPARE(rig.state->camera.exposure.count, 1);
    }
  }

  void takePhotoWithZeroDoesNothing() {
    Rig rig;
    qv::TWyDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    dialog.show();
    Control<QLineEdit>(&dialog, 105)->setText("0");
    Control<QPushButton>(&dialog, 1)->click();
    QVERIFY(dialog.isVisible());
    Control<QLineEdit>(&dialog, 105)->setText("");
    Control<QPushButton>(&dialog, 1)->click();
    QVERIFY(dialog.isVisible());
    Control<QLineEdit>(&dialog, 105)->setText("3");
    Control<QPushButton>(&dialog, 1)->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), qv::kTakePhotoResult);
    QCOMPARE(rig.state->camera.exposure.value, 3);
  }

  void guidingButtonsCloseWithTheirRequests() {
    Rig rig;
    {
      qv::TWyDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
      dialog.show();
      Control<QPushButton>(&dialog, 13)->click();
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.result(), qv::kGoToAutoguiderResult);
      QCOMPARE(qv::CommandAfterCameraDialog(*rig.state, dialog.result()), qv::CommandId::AutoGuiderCamera);
    }
    rig.state->settings.telescopeGuiding = 'b';
    rig.state->guiding.guiderStar = {250, 145, 0, 0};
    rig.state->guiding.guiderStarChosen = true;
    qv::TWyDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    dialog.show();
    Control<QPushButton>(&dialog, 12)->click();
    QCOMPARE(dialog.result(), qv::kTakePhotoResult);
    QVERIFY(rig.state->guiding.photoGuiding == qv::PhotoGuiding::GuiderCamera);
  }

  void setPointIsSavedAtEveryChangeExceptInMaximumCooling() {
    Rig rig;
    qv::TWyDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    auto* bar = Control<QScrollBar>(&dialog, 737);
    bar->setValue(-12);
    QCOMPARE(rig.state->settings.derived.coolerSetpointC, -12);
    qv::ProgramSettings fromFile;
    QVERIFY(qv::LoadSettings(fromFile, rig.state->paths, rig.host) == qv::SettingsStatus::Ok);
    QCOMPARE(static_cast<int>(fromFile.savedCoolingSetpoint), -12);
    QCOMPARE(Control<QLineEdit>(&dialog, 739)->text(), QString("-12"));
    rig.state->settings.maximumCooling = true;
    rig.state->settings.derived.coolerSetpointC = -40;
    dialog.refresh();
    bar->setValue(20);
    QCOMPARE(rig.state->settings.derived.coolerSetpointC, -40);
    QCOMPARE(Control<QLineEdit>(&dialog, 744)->text(), QString("Max Cooling Set"));
  }

  void opensWithoutAPeakAndKeepsTheCoolerCurrent() {
    Rig rig;
    rig.state->camera.exposure.focusPeak = 4321;
    rig.state->camera.exposure.count = 3;
    rig.state->camera.exposure.pause = 7;
    qv::TWyDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    dialog.show();
    QCOMPARE(Control<QLineEdit>(&dialog, 109)->text(), QString("0"));
    // Each arrow bar has its range and shows its value.
    Control<QRadioButton>(&dialog, 174)->click();  // Seconds
    auto* value = Control<QScrollBar>(&dialog, 104);
    QCOMPARE(value->maximum(), 300);
    QCOMPARE(value->value(), 1);
    QCOMPARE(Control<QScrollBar>(&dialog, 111)->maximum(), 99);
    QCOMPARE(Control<QScrollBar>(&dialog, 111)->value(), 3);
    QCOMPARE(Control<QScrollBar>(&dialog, 119)->maximum(), 20);
    QCOMPARE(Control<QScrollBar>(&dialog, 119)->value(), 7);
    // With nothing touched, Actual follows the cooler as it cools.
    Control<QCheckBox>(&dialog, 740)->click();
    QVERIFY(rig.state->camera.coolingOn);
    auto* actual = Control<QLineEdit>(&dialog, 738);
    const QString before = actual->text();
    rig.clock.nowMs += 10 * 60 * 1000;
    QTRY_VERIFY(actual->text() != before);
    QCOMPARE(actual->text().toInt(), rig.state->camera.actualTemperatureC);
  }

  void windowPaintsWhileTheExposureRuns() {
    Rig rig;
    PaintCounter window;
    window.show();
    rig.state->camera.exposure.range = 's';
    rig.state->camera.exposure.value = 2;
    // Take Photo on the modal dialog as soon as it shows.
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      Control<QPushButton>(dialog, 1)->click();
    });
    qv::RunCameraInterface(*rig.state, rig.host, rig.clock, &window);
    QVERIFY(rig.state->camera.exposureRunning);
    const int before = window.paints;
    QTest::qWait(300);
    QVERIFY(rig.state->camera.exposureRunning);
    QVERIFY(window.paints > before);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.state->camera.exposureRunning, 10000);
    QVERIFY(rig.world->blocksReceived > 0);
  }

  // With QV_CAMERA_SCREENSHOT=file.png: the dialog after a focus frame,
  // beside a simulated frame as the window shows it (the picture in docs/).
  void screenshotWhenAsked() {
    const QString path = qEnvironmentVariable("QV_CAMERA_SCREENSHOT");
    if (path.isEmpty()) QSKIP("no screenshot asked for");
    Rig rig;
    rig.state->display.stretchDisplay = true;
    qv::TWyDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    rig.host.onRebuildDisplay = [&] { qv::RebuildDisplay(*rig.state, rig.host); };
    dialog.show();
    Control<QRadioButton>(&dialog, 173)->click();  // Tenth's, 5: half a second
    Control<QPushButton>(&dialog, 107)->click();
    QTRY_VERIFY(rig.state->camera.exposure.focusPeak > 0);
    QTest::mouseClick(Control<QPushButton>(&dialog, 108), Qt::LeftButton);
    QTRY_VERIFY(!rig.state->camera.exposureRunning);
    const QPixmap dialogPicture = dialog.grab();

    rig.state->images.focusPreview = 0;
    rig.state->camera.exposure.range = 's';
    rig.state->camera.exposure.value = 20;
    qv::NullHost quiet;
    qv::ExposureOperation run(*rig.state, quiet, rig.clock);
    qv::WakeTime wake = run.start(rig.clock.nowMs);
    while (wake) {
      rig.clock.nowMs = std::max(rig.clock.nowMs, *wake);
      wake = run.step(rig.clock.nowMs);
    }
    qv::RebuildDisplay(*rig.state, quiet);
    QImage frame;
    QVERIFY(frame.loadFromData(rig.state->display.bitmap.data(), static_cast<int>(rig.state->display.bitmap.size()),
                               "BMP"));
    frame = frame.scaledToHeight(dialogPicture.height(), Qt::SmoothTransformation);
    QImage sheet(dialogPicture.width() + frame.width() + 8, dialogPicture.height(), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.drawPixmap(0, 0, dialogPicture);
    painter.drawImage(dialogPicture.width() + 8, 0, frame);
    painter.end();
    QVERIFY(sheet.save(path));
  }
};

QTEST_MAIN(CameraDialogTest)
#include "camera_dialog_test.moc"
