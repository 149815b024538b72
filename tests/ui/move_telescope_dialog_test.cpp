// The Move Telescope dialogs on the offscreen platform: what each control
// sends to the telescope through the camera's serial relay.

#include "guiding/ui/move_telescope_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>
#include <memory>

#include "app/ui/qt_host.h"
#include "camera/scripted_devices.h"
#include "guiding/serial_script.h"
#include "support/dialog_control.h"
#include "support/test_clock.h"

namespace {

using qv::test::Sent;
using Events = std::vector<qv::test::SerialEvent>;

qv::test::Bytes Reply33(std::string_view text) {
  qv::test::Bytes b(33, 0);
  std::copy(text.begin(), text.end(), b.begin());
  return b;
}

struct Rig {
  Rig() {
    script = qv::test::AttachScriptedCamera(state->camera.link);
    state->guiding.telescopeInitialised = true;
  }
  Events relay() const { return qv::test::RelayEvents(*script); }
  std::unique_ptr<qv::ProgramState> state = std::make_unique<qv::ProgramState>();
  qv::QtHost host;
  qv::test::TestClock clock;
  std::shared_ptr<qv::test::DeviceScript> script;
};

}  // namespace

class MoveTelescopeDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void goToObjectShowsTheReplies() {
    Rig rig;
    qv::TMTDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    rig.script->replies = {Reply33("M110 MAG 8.1#"), {'0'}};
    Control<QLineEdit>(&dialog, 101)->setText("110");
    Control<QLineEdit>(&dialog, 102)->setText("33");
    Control<QPushButton>(&dialog, 103)->click();
    QCOMPARE(rig.relay().front(), Sent(0, "#:LM 0110#"));  // the Messier number wins
    QCOMPARE(Control<QLineEdit>(&dialog, 117)->text(), QString("M110 MAG 8.1"));
    QCOMPARE(Control<QLineEdit>(&dialog, 217)->text(), QString(""));

    rig.script->written.clear();
    rig.script->replies = {Reply33("#"), {'0'}};
    Control<QPushButton>(&dialog, 106)->click();  // Mars
    QCOMPARE(rig.relay().front(), Sent(0, "#:LS 0904#"));
  }

  void coordinatesKeepTheSignOfMinusZero() {
    Rig rig;
    qv::TMTDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    rig.script->replies = {Reply33("#"), {'0'}};
    Control<QLineEdit>(&dialog, 112)->setText("5");
    Control<QLineEdit>(&dialog, 113)->setText("35");
    Control<QLineEdit>(&dialog, 114)->setText("-0");
    Control<QLineEdit>(&dialog, 115)->setText("30");
    Control<QPushButton>(&dialog, 116)->click();
    const Events events = rig.relay();
    QVERIFY(events.size() >= 2);
    QCOMPARE(events[0], Sent(0, "#:Sr 05:35.0"));
    QCOMPARE(events[1], Sent(0, "#:Sd -00*30"));
  }

  void arrowsSlewOnPressAndStopOnRelease() {
    Rig rig;
    qv::TMTDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    Control<QRadioButton>(&dialog, 121)->click();  // Find
    QVERIFY(Control<QRadioButton>(&dialog, 121)->isChecked());
    auto* northSouth = Control<QScrollBar>(&dialog, 119);
    northSouth->triggerAction(QAbstractSlider::SliderSingleStepSub);  // up arrow: north
    northSouth->triggerAction(QAbstractSlider::SliderSingleStepSub);  // a second press while moving
    QTest::mouseRelease(northSouth, Qt::LeftButton);
    QCOMPARE(rig.relay(), (Events{Sent(0, "#:RM#"), Sent(0, "#:Mn#"), Sent(0, "#:Qn#"), Sent(0, "#:Qs#"),
                                  Sent(0, "#:Qe#"), Sent(0, "#:Qw#")}));
    QVERIFY(!rig.state->guiding.moving);

    rig.script->written.clear();
    Control<QRadioButton>(&dialog, 125)->click();                                            // Fast
    Control<QScrollBar>(&dialog, 124)->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // down: in
    QTest::mouseRelease(Control<QScrollBar>(&dialog, 124), Qt::LeftButton);
    QCOMPARE(rig.relay(), (Events{Sent(0, "#:FF#"), Sent(0, "#:F-#"), Sent(0, "#:FQ#")}));
  }

  void socketDialogHoldsTheRelayWhilePressed() {
    Rig rig;
    qv::TCBDialog dialog(*rig.state, rig.host, rig.clock, nullptr);
    auto* eastWest = Control<QScrollBar>(&dialog, 101);
    eastWest->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // right arrow: east
    eastWest->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QTest::mouseRelease(eastWest, Qt::LeftButton);
    Control<QScrollBar>(&dialog, 102)->triggerAction(QAbstractSlider::SliderSingleStepSub);  // north
    QCOMPARE(qv::test::GuideOutputs(*rig.script), (std::vector<int>{8, 0, 4}));
  }
};

QTEST_MAIN(MoveTelescopeDialogTest)
#include "move_telescope_dialog_test.moc"
