// The guider camera dialog and the guider guiding dialog on the offscreen
// platform with the simulated camera: controls change the core state and the
// settings file, "Start" takes guider frames from the window's timer until
// "Stop", and the guiding dialog shows a run's numbers and plot.

#include "guiding/ui/guider_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

#include "app/settings_file.h"
#include "app/startup.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"
#include "camera/camera_commands.h"
#include "camera/device_bus.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "guiding/guider_exposure.h"
#include "guiding/guider_guiding.h"
#include "guiding/guider_picture.h"
#include "guiding/guiding_info_fields.h"
#include "guiding/ui/guiding_info_dialog.h"
#include "sim/sim_world.h"
#include "support/dialog_control.h"
#include "support/sim_camera.h"

namespace {

struct Rig : qv::test::SimCamera<qv::QtHost> {
  Rig() {
    state->settings.telescopeGuiding = 'b';
    MakeSimCamera();
    ConnectSimCamera();
    state->guiding.telescopeInitialised = true;
  }
  // The bright star where the guider sees it now.
  void pickGuiderStar() {
    state->guiding.guiderStar = BrightStarOnGuider(500, 290);
    state->guiding.guiderStarChosen = true;
  }
};

// The main window on the simulated camera, guiding through the camera's
// relays; every message box is noted and closed.
struct WindowRig {
  WindowRig() {
    state->paths.root = root.path().toStdString();
    state->camera.link.makeBus = qv::sim::MakeSimulatedDevices;
    qv::RunStartup(*state, host);
    state->settings.ShowInterfaceDetails = false;
    state->settings.telescopeGuiding = 'b';
    QVERIFY(qv::SaveSettings(state->settings, state->paths) == qv::SettingsStatus::Ok);
    frame = std::make_unique<qv::TQel_VeskFrame>(*state, host);
    frame->show();
    QObject::connect(&watchdog, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        boxes << box->text();
        box->accept();
      }
    });
    watchdog.start(50);
  }
  QTemporaryDir root;
  std::unique_ptr<qv::ProgramState> state = std::make_unique<qv::ProgramState>();
  qv::QtHost host;
  std::unique_ptr<qv::TQel_VeskFrame> frame;
  QStringList boxes;
  QTimer watchdog;
};

}  // namespace

class GuiderDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void controlsChangeTheCoreAndTheSettingsFile() {
    Rig rig;
    qv::TGWyDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    Control<QRadioButton>(&dialog, 813)->click();  // Seconds: value 1
    QCOMPARE(rig.state->guiding.guiderExposure.unit, 's');
    QCOMPARE(Control<QLineEdit>(&dialog, 814)->text(), QString("1"));
    Control<QScrollBar>(&dialog, 810)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(rig.state->guiding.guiderExposure.value, 2);
    Control<QRadioButton>(&dialog, 812)->click();  // Tenths: value 5
    QCOMPARE(Control<QScrollBar>(&dialog, 810)->maximum(), 100);
    QCOMPARE(rig.state->guiding.guiderExposure.value, 5);

    Control<QCheckBox>(&dialog, 876)->click();  // Swap e/w
    QCOMPARE(rig.state->settings.driveDirections[2], 'w');
    qv::ProgramSettings fromFile;
    QCOMPARE(qv::LoadSettings(fromFile, rig.state->paths, rig.host), qv::SettingsStatus::Ok);
    QCOMPARE(fromFile.driveDirections[2], 'w');
    QVERIFY(Control<QCheckBox>(&dialog, 876)->isChecked());

    Control<QLineEdit>(&dialog, 861)->setText("4");
    Control<QLineEdit>(&dialog, 863)->setText("12");
    Control<QPushButton>(&dialog, 871)->click();  // Change Defaults
    QCOMPARE(rig.state->settings.guiderRaRate, std::int16_t{4});
    QCOMPARE(rig.state->settings.guiderRaBacklash, std::int16_t{12});

    Control<QPushButton>(&dialog, 833)->click();  // Use Default before any training
    QVERIFY(!rig.state->guiding.guiderTraining.useTrained);
    QCOMPARE(Control<QLineEdit>(&dialog, 832)->text(), QString("Using Default Vals"));
    Control<QRadioButton>(&dialog, 945)->click();
    QCOMPARE(rig.state->settings.aoPortChoice, std::int16_t{3});
    Control<QPushButton>(&dialog, 939)->click();
    QCOMPARE(Control<QLineEdit>(&dialog, 940)->text(), QString("AO Unit"));

    Control<QPushButton>(&dialog, 878)->click();  // Start Guiding closes with its request
    QCOMPARE(dialog.result(), qv::kGuiderStartGuidingResult);
  }

  void startTakesFramesUntilStopAndAClickSelectsTheStar() {
    Rig rig;
    qv::TGWyDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    dialog.show();
    Control<QRadioButton>(&dialog, 812)->click();  // half a second a frame
    Control<QPushButton>(&dialog, 823)->click();
    QVERIFY(dialog.busy());
    QTRY_VERIFY(!rig.state->guiding.guiderDialog.picture.empty());
    QTest::mouseClick(Control<QPushButton>(&dialog, 824), Qt::LeftButton);
    QTRY_VERIFY(!dialog.busy());

    // Select Guide Star, then a click near the bright star finds its centre.
    rig.pickGuiderStar();
    const qv::StarPosition near = rig.state->guiding.guiderStar;
    rig.state->guiding.guiderStarChosen = false;
    Control<QPushButton>(&dialog, 822)->click();
    auto* frame = dialog.findChild<QWidget*>("guiderFrame");
    QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(10 + near.x + 1, 45 + near.y - 1));
    QVERIFY(rig.state->guiding.guiderStarChosen);
    QVERIFY(std::abs(rig.state->guiding.guiderStar.x - near.x) <= 1);
    QCOMPARE(Control<QLineEdit>(&dialog, 820)->text(), QString::number(rig.state->guiding.guiderStar.x));
    QVERIFY(!rig.state->guiding.guiderDialog.selectingStar);

    // The narrow guider sensor's 376 columns are drawn 62 pixels further in.
    rig.state->settings.guiderCameraType = 'x';
    QVERIFY(qv::TakeGuiderFrame(*rig.state, rig.host, rig.clock, rig.state->guiding.guiderExposure, {}));
    const qv::StarPosition narrow = rig.BrightStarOnGuider(376, 290);
    Control<QPushButton>(&dialog, 822)->click();
    QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(72 + narrow.x, 45 + narrow.y));
    QVERIFY(std::abs(rig.state->guiding.guiderStar.x - narrow.x) <= 1);
    QVERIFY(std::abs(rig.state->guiding.guiderStar.y - narrow.y) <= 1);
    rig.state->settings.guiderCameraType = 's';

    // With QV_GUIDER_SCREENSHOT=dir: the guider dialog and a guiding dialog.
    const QString shots = qEnvironmentVariable("QV_GUIDER_SCREENSHOT");
    if (!shots.isEmpty()) QVERIFY(dialog.grab().save(shots + "/guider_dialog.png"));
  }

  // Menu 27 on the simulated camera: frames, a star picked with the mouse,
  // "Start Guiding" hands over to menu 171, whose dialog runs until "Stop
  // Guiding". Any message box is closed and fails the test.
  void menuOpensTheDialogAndStartGuidingGuidesUntilStopped() {
    WindowRig w;
    auto& state = w.state;
    auto& frame = *w.frame;
    const QStringList& boxes = w.boxes;

    const QString shots = qEnvironmentVariable("QV_GUIDER_SCREENSHOT");
    bool handled = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = dynamic_cast<qv::TGWyDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      Control<QPushButton>(dialog, 823)->click();  // Start: 5 hundredths a frame
      QTRY_VERIFY(!state->guiding.guiderDialog.picture.empty());
      QTest::mouseClick(Control<QPushButton>(dialog, 824), Qt::LeftButton);
      QTRY_VERIFY(!dialog->busy());
      // The brightest pixel is the bright star's.
      const std::uint16_t* p = state->images.guideImage;
      const auto peak = std::max_element(p, p + 500 * 290) - p;
      Control<QPushButton>(dialog, 822)->click();
      QTest::mouseClick(dialog->findChild<QWidget*>("guiderFrame"), Qt::LeftButton, {},
                        QPoint(10 + static_cast<int>(peak % 500), 45 + static_cast<int>(peak / 500)));
      QVERIFY(state->guiding.guiderStarChosen);
      if (!shots.isEmpty()) QVERIFY(dialog->grab().save(shots + "/menu_guider_dialog.png"));
      handled = true;
      Control<QPushButton>(dialog, 878)->click();
    });
    frame.dispatch(qv::CommandId::AutoGuiderCamera);
    QVERIFY(handled);
    QVERIFY(state->guiding.guiderGuidingRunning);
    auto* info = frame.findChild<QDialog*>("TGInfoDialog");
    QVERIFY(info);
    QTRY_COMPARE_WITH_TIMEOUT(info->windowTitle(), QString("Guiding Info"), 20000);
    QVERIFY(!Control<QLineEdit>(info, 918)->text().isEmpty());
    if (!shots.isEmpty()) QVERIFY(info->grab().save(shots + "/menu_guiding_info.png"));
    frame.dispatch(qv::CommandId::StartAutoGuidingPopup);  // a second start while running does nothing
    QCOMPARE(frame.findChildren<QDialog*>("TGInfoDialog").size(), 1);
    Control<QPushButton>(info, 924)->click();
    QTRY_VERIFY(!state->guiding.guiderGuidingRunning);
    QCOMPARE(boxes, QStringList());
  }

  // Menus 22 and 23 on the simulated camera: main-camera guiding shows its
  // dialog until a key ends it; a key ends training with the rates kept.
  void mainCameraGuidingAndTrainingEndWithAKey() {
    WindowRig w;
    auto& state = w.state;
    auto& host = w.host;
    auto& frame = *w.frame;
    const QStringList& boxes = w.boxes;
    // The guide star: the brightest pixel of a full frame.
    qv::Clock& clock = host.clock();
    QVERIFY(qv::ConnectCamera(*state, *qv::DeviceBus(*state, clock), host, clock));
    qv::SetGeometryForReadout(*state, qv::kFullResolution);
    QVERIFY(qv::ReadFrame(*state, host, qv::kFullResolution, 200));
    const int width = state->geometry.width;
    const std::uint16_t* p = state->images.workImage;
    const auto peak = std::max_element(p, p + width * state->geometry.height) - p;
    state->guiding.guideStar = {static_cast<int>(peak % width), static_cast<int>(peak / width), 0, 0};
    state->guiding.guideStarChosen = true;
    state->camera.exposure.range = 'h';
    state->camera.exposure.value = 10;

    frame.dispatch(qv::CommandId::StartAutoGuiding);
    auto* info = frame.findChild<QDialog*>("TInfoDialog");
    QVERIFY(info);
    QTRY_VERIFY(state->guiding.mainGuidingRunning);
    // Before the first frame the dialog shows the star on the full frame;
    // after it, on the 128 x 128 guide frame.
    QVERIFY(Control<QLineEdit>(info, 101)->text().toDouble() >= 128);
    QTRY_VERIFY_WITH_TIMEOUT(Control<QLineEdit>(info, 101)->text().toDouble() < 128, 10000);
    QTest::keyClick(&frame, Qt::Key_Escape);
    QTRY_VERIFY(!state->guiding.mainGuidingRunning);
    QTRY_VERIFY(boxes.contains("AutoGuiding Terminated"));

    const std::int16_t rate = state->settings.raRate;
    state->settings.trainingSeconds = 1;
    frame.dispatch(qv::CommandId::TrainAutoGuiding);
    QTRY_VERIFY(state->guiding.mainGuidingRunning);
    QTest::keyClick(&frame, Qt::Key_Escape);
    QTRY_VERIFY(!state->guiding.mainGuidingRunning);
    QCOMPARE(state->settings.raRate, rate);
    for (const QString& text : boxes) QVERIFY(!text.startsWith("slewx"));
  }

  void guidingDialogShowsTheRun() {
    Rig rig;
    rig.pickGuiderStar();
    qv::GuiderGuidingOptions options;
    options.exposureMs = 500;
    options.frames = 3;
    qv::GuiderGuidingOperation guiding(*rig.state, rig.host, rig.clock, options);
    qv::WakeTime wake = guiding.start(rig.clock.nowMs);
    while (wake) {
      rig.clock.nowMs = std::max(rig.clock.nowMs, *wake);
      wake = guiding.step(rig.clock.nowMs);
    }
    QCOMPARE(static_cast<int>(guiding.frames().size()), 3);
    // Every frame leads back to the one reference.
    QVERIFY(qv::ReferenceOf(guiding.frames()[0]) == qv::ReferenceOf(guiding.frames()[2]));
    QVERIFY(qv::RenderGuiderFrame(*rig.state, rig.host));
    rig.state->guiding.columnError = 1500;
    rig.state->guiding.rowError = -2000;
    qv::TGInfoDialog info(*rig.state, nullptr);
    info.refresh(guiding.frames(), rig.clock.nowMs, qv::GuiderGuidingStage(true, 3),
                 qv::ReferenceOf(guiding.frames().front()));
    QCOMPARE(info.windowTitle(), QString("Guiding Info"));
    QCOMPARE(Control<QLineEdit>(&info, 920)->text(), QString("1.5"));
    QCOMPARE(Control<QLineEdit>(&info, 921)->text(), QString("-2.0"));
    QVERIFY(info.findChild<QLabel*>("rms")->text().startsWith("RMS "));
    // The marker: 15 plot pixels right of the centre, 20 below it.
    const QImage plot = info.findChild<QWidget*>("guiderFrame")->grab().toImage();
    QCOMPARE(plot.pixelColor(593, 118), QColor(Qt::yellow));
    QVERIFY(plot.pixelColor(578 + 43, 98) != QColor(Qt::yellow));
    const QString shots = qEnvironmentVariable("QV_GUIDER_SCREENSHOT");
    if (!shots.isEmpty()) QVERIFY(info.grab().save(shots + "/guiding_info.png"));
  }
};

QTEST_MAIN(GuiderDialogTest)
#include "guider_dialog_test.moc"
