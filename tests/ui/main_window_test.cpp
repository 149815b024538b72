// The main window on the offscreen platform: caption, status text, start-up,
// and the black level its paints leave for Remove Background.

#include "app/ui/main_window.h"

#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/startup.h"
#include "app/ui/qt_host.h"
#include "support/black_level_frame.h"

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
    QCOMPARE(frame.statusBar()->currentMessage(), QString("Qel Vesk Camera Control and Image processing program"));
    QVERIFY(QFile::exists(root.path() + "/autosave/Qel_K1C.ini"));
  }

  void removeBackgroundUsesTheBlackLevelOfTheShownImage() {
    QTemporaryDir root;
    qv::ProgramState state;
    state.paths.root = root.path().toStdString();
    qv::QtHost host;
    qv::RunStartup(state, host);
    qv::TQel_VeskFrame frame(state, host);
    frame.show();
    const int width = state.geometry.width;
    qv::test::FillBlackLevelFrame(state.images.workImage, width, state.geometry.height);
    // A command that changed the image asks for a rebuild; the window
    // rebuilds and paints, and the black level is that of the new image.
    host.requestRebuildDisplay();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(state.display.blackLevel, 42);
    frame.findChild<QAction*>("cmd120")->trigger();
    // At black level 42: 10,257 -> 18, 10,499 -> 306, 11,720 -> 1,754.
    const std::uint16_t* row = state.images.workImage + 20 * width;
    QCOMPARE(int(row[0]), 18);
    QCOMPARE(int(row[1]), 306);
    QCOMPARE(int(row[2]), 1754);
    QCOMPARE(QString(state.images.history.lines[0].str().c_str()), QString("Background Removed : min 80"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
