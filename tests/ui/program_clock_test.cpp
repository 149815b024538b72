// The Qt program's file commands take the program's clock from the host, so
// the virtual clock reaches the dates of the files they write.

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/startup.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"
#include "app/virtual_clock.h"

class ProgramClockTest : public QObject {
  Q_OBJECT
 private slots:
  void quickSaveIsDatedByTheHostsClock() {
    QTemporaryDir root;
    auto owner = std::make_unique<qv::ProgramState>();
    qv::ProgramState& state = *owner;
    state.paths.root = root.path().toStdString();
    qv::QtHost host;
    qv::VirtualClock clock(*qv::ParseUtDateTime("2010-05-06T07:08:09"));
    host.useClock(clock);
    qv::RunStartup(state, host);
    qv::TQel_VeskFrame frame(state, host);
    frame.dispatch(qv::CommandId::QuickSave);
    QFile saved(root.path() + "/autosave/IMG1.FIT");
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.read(2880).contains("DATE-OBS= '2010-05-06T07:08:09'"));
  }
};

QTEST_MAIN(ProgramClockTest)
#include "program_clock_test.moc"
