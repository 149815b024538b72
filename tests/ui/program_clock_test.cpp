// The Qt program's file commands take the program's clock from the host, so
// the virtual clock reaches the dates of the files they write.

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/startup.h"
#include "app/ui/qt_host.h"
#include "app/virtual_clock.h"
#include "files/ui/files_ui_commands.h"

class ProgramClockTest : public QObject {
  Q_OBJECT
 private slots:
  void quickSaveIsDatedByTheHostsClock() {
    QTemporaryDir root;
    qv::ProgramState state;
    state.paths.root = root.path().toStdString();
    qv::QtHost host;
    qv::VirtualClock clock(*qv::ParseUtDateTime("2010-05-06T07:08:09"));
    host.useClock(clock);
    qv::RunStartup(state, host);
    qv::RunQuickSaveCommand(state, host, nullptr);
    QFile saved(root.path() + "/autosave/IMG1.FIT");
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.read(2880).contains("DATE-OBS= '2010-05-06'"));
  }
};

QTEST_MAIN(ProgramClockTest)
#include "program_clock_test.moc"
