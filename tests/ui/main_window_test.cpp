// The main window on the offscreen platform: caption, status text, start-up.

#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/startup.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void captionAndStatusText() {
    QTemporaryDir root;
    qv::ProgramState state;
    state.paths.root = root.path().toStdString();
    qv::QtHost host;
    qv::RunStartup(state, host);
    qv::TQel_VeskFrame frame(state, host);
    frame.show();
    QCOMPARE(frame.windowTitle(), QString("Qel_Vesk_USB - (Untitled)"));
    QCOMPARE(frame.statusBar()->currentMessage(),
             QString("Qel Vesk Camera Control and Image processing program"));
    QVERIFY(QFile::exists(root.path() + "/autosave/Qel_K1C.ini"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
