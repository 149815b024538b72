// The main frame built from the command table: menus, accelerators, tool
// bar, enablers and check marks, caption, painting and the Stretch Display
// dialog, on the offscreen platform.

#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>
#include <map>

#include "app/command_table.h"
#include "app/frame_geometry.h"
#include "app/startup.h"
#include "app/ui/help_about_print.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_host.h"
#include "support/recording_host.h"

namespace {

struct Program {
  QTemporaryDir root;
  std::unique_ptr<qv::ProgramState> state = std::make_unique<qv::ProgramState>();
  qv::QtHost host;
  std::unique_ptr<qv::TQel_VeskFrame> frame;

  Program() {
    state->paths.root = root.path().toStdString();
    qv::RunStartup(*state, host);
    frame = std::make_unique<qv::TQel_VeskFrame>(*state, host);
    frame->resize(800, 600);
    frame->show();
  }
};

qv::CommandId Id(int number) { return static_cast<qv::CommandId>(number); }

std::map<int, QString> MenuTexts(QMenu* menu) {
  std::map<int, QString> texts;
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator()) texts[action->data().toInt()] = action->text();
  }
  return texts;
}

}  // namespace

class CommandMenusTest : public QObject {
  Q_OBJECT
 private slots:
  void everyCommandReachesAMenuItemWithItsText() {
    Program p;
    std::map<int, QString> texts = MenuTexts(p.frame->popupMenu());
    for (QAction* top : p.frame->menuBar()->actions()) {
      QVERIFY(top->menu());
      texts.merge(MenuTexts(top->menu()));
    }
    int menuItems = 0;
    for (const auto& command : qv::Commands()) {
      if (command.group == qv::MenuGroup::Internal || command.group == qv::MenuGroup::None) continue;
      ++menuItems;
      const int id = qv::ToInt(command.id);
      QVERIFY2(texts.count(id), qPrintable(QString::number(id)));
      QCOMPARE(texts[id], QString::fromStdString(qv::MenuText(command)));
      QCOMPARE(p.frame->commandAction(command.id)->statusTip(),
               QString::fromUtf8(command.hint.data(), command.hint.size()));
    }
    QCOMPARE(int(texts.size()), menuItems);
    QCOMPARE(texts[171], QString("Start AutoGuiding"));
    QCOMPARE(texts[24332], QString("&Open...     \tCtl+O"));
    QCOMPARE(texts[24336], QString("&Quick Save as FITS...\tCtl+Q "));
    QCOMPARE(texts[24310], QString("E&xit"));
    QCOMPARE(texts[8129], QString("&Low Pass Colour Filter "));
    QCOMPARE(texts[5], QString("Low Pass &Weighted Mean &Smoother"));
  }

  void acceleratorsMapAsListed() {
    Program p;
    std::map<QString, int> keys;
    for (auto* shortcut : p.frame->findChildren<QShortcut*>()) {
      keys[shortcut->key().toString()] = shortcut->property("commandId").toInt();
    }
    QCOMPARE(keys.size(), std::size_t(23));
    for (const auto& command : qv::Commands()) {
      for (const std::string_view accelerator : command.keys) {
        if (accelerator.empty()) continue;
        const QString text = QKeySequence(QString::fromStdString(qv::PortableKey(accelerator))).toString();
        QVERIFY2(!text.isEmpty(), accelerator.data());
        QCOMPARE(keys[text], qv::ToInt(command.id));
      }
    }
    // Every key a menu item names after its tab is bound, to that item.
    for (QAction* top : p.frame->menuBar()->actions()) {
      for (QAction* item : top->menu()->actions()) {
        const int tab = item->text().indexOf('\t');
        if (tab < 0) continue;
        const QString shown = item->text().mid(tab + 1).trimmed().replace(QRegularExpression("^(Ctl|CTL)\\+"), "Ctrl+");
        QVERIFY2(keys.count(QKeySequence(shown).toString()), qPrintable(item->text()));
        QCOMPARE(keys[QKeySequence(shown).toString()], item->data().toInt());
      }
    }
    QCOMPARE(keys[QString("Ctrl+O")], 24332);
    QCOMPARE(keys[QString("Ctrl+H")], 6);
    QCOMPARE(keys[QString("Ctrl+D")], 110);
    QCOMPARE(keys[QString("Ctrl+K")], 21);
    QCOMPARE(keys[QString("Alt+X")], 24310);
    QCOMPARE(keys[QString("Alt+Shift+X")], 24310);
    QCOMPARE(keys[QString("Ctrl+V")], 810);
    QCOMPARE(keys[QString("Ctrl+C")], 8115);
    QCOMPARE(keys[QString("Ctrl+T")], 301);
    QCOMPARE(keys[QString("Shift+Ins")], 17999);
    // Pressing the key runs the command.
    p.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.frame.get()));
    QTest::keyClick(p.frame.get(), Qt::Key_T, Qt::ControlModifier);
    QVERIFY(p.state->display.fitToScreen);
  }

  void toolBarOrderAndTelescopeButton() {
    Program p;
    auto bar = [&] {
      std::vector<int> ids;
      for (QAction* action : p.frame->commandToolBar()->actions()) {
        ids.push_back(action->isSeparator() ? 0 : action->data().toInt());
      }
      return ids;
    };
    // The tool bar as the program lays it out, 0 for a separator; without a
    // telescope guiding mode there is no "Telescope &Control" button.
    std::vector<int> expected{24333, 24335, 133,  24332, 0, 12, 27,  0, 1901, 1902, 123, 0, 121, 0,   14,  0,  8124,
                              8115,  8116,  8114, 8129,  0, 1,  117, 2, 120,  106,  101, 3, 0,   110, 115, 111};
    QCOMPARE(bar(), expected);
    p.state->settings.telescopeGuiding = 'l';
    p.frame->updateTelescopeButton();
    expected.push_back(24);
    QCOMPARE(bar(), expected);
    // Each button, and the display stretch's second state, has its picture.
    expected.push_back(1906);
    for (const int id : expected) {
      if (id) QVERIFY2(QFile::exists(QString(":/icons/tool_%1.png").arg(id)), qPrintable(QString::number(id)));
    }
    expected.pop_back();
    p.state->settings.telescopeGuiding = 'n';
    p.frame->updateTelescopeButton();
    expected.pop_back();
    QCOMPARE(bar(), expected);
  }

  void enablersGreyAndCheck() {
    Program p;
    auto* frame = p.frame.get();
    frame->refreshCommandStates();
    QVERIFY(frame->commandAction(Id(12))->isEnabled());      // the camera dialog
    QVERIFY(frame->commandAction(Id(128))->isEnabled());     // refuses a mono image with a message
    QVERIFY(frame->commandAction(Id(24332))->isEnabled());   // file commands attached
    QVERIFY(frame->commandAction(Id(106))->isEnabled());     // filters attached
    QVERIFY(!frame->commandAction(Id(17999))->isEnabled());  // no bitmap yet

    frame->dispatch(Id(119));
    QVERIFY(frame->commandAction(Id(119))->isChecked());
    QVERIFY(frame->commandAction(Id(17999))->isEnabled());
    frame->dispatch(Id(17999));
    QCOMPARE(QApplication::clipboard()->image().size(), frame->client()->shownImage().size());
    frame->dispatch(Id(118));
    frame->dispatch(Id(129));
    QVERIFY(frame->commandAction(Id(118))->isChecked());
    QVERIFY(frame->commandAction(Id(129))->isChecked());
    frame->dispatch(Id(301));
    QVERIFY(frame->commandAction(Id(301))->isChecked());
    frame->dispatch(Id(303));
    QVERIFY(frame->commandAction(Id(303))->isChecked());
    QVERIFY(!frame->commandAction(Id(301))->isChecked());
    p.state->display.mouseModeActive = true;
    frame->dispatch(Id(303));
    QVERIFY(frame->commandAction(Id(303))->isChecked());
  }

  void captionAndPictureAfterRebuild() {
    Program p;
    QCOMPARE(p.frame->windowTitle(), QString("Qel_Vesk_USB - (Untitled)"));
    auto* window = p.frame->client();
    const QColor background(192, 192, 192);
    QCOMPARE(window->viewport()->grab().toImage().pixelColor(10, 10), background);
    p.state->files.imageTitle = "M42.FIT";
    p.frame->dispatch(Id(1907));  // a full rebuild (899 reuses the display bytes)
    QCOMPARE(p.frame->windowTitle(), QString("Qel_Vesk_USB - M42.FIT"));
    // Row 100 of the start-up ramp holds 6,200: display byte 24.
    const QImage shown = window->viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(10, 100), QColor(24, 24, 24));
    // Centred: the frame is larger than the window, so it scrolls instead.
    QVERIFY(window->verticalScrollBar()->maximum() > 0);
  }

  void paintingFitCentreAndOverlay() {
    Program p;
    qv::SetFrameSize(p.state->geometry, 200, 100);
    std::fill_n(p.state->images.workImage, 20000, std::uint16_t{0xFF00});
    p.frame->dispatch(Id(1907));
    auto* window = p.frame->client();
    const QSize client = window->viewport()->size();
    const QColor background(192, 192, 192), white(255, 255, 255), red(255, 0, 0);
    auto grab = [&] { return window->viewport()->grab().toImage(); };
    QImage shot = grab();
    QCOMPARE(shot.pixelColor(2, 2), white);
    QCOMPARE(shot.pixelColor(205, 2), background);

    p.frame->dispatch(Id(303));  // centred: equal margins
    shot = grab();
    const int left = (client.width() - 200) / 2, top = (client.height() - 100) / 2;
    QCOMPARE(shot.pixelColor(left - 1, top + 2), background);
    QCOMPARE(shot.pixelColor(left + 1, top + 2), white);
    QCOMPARE(shot.pixelColor(left + 198, top + 98), white);
    QCOMPARE(shot.pixelColor(left + 201, top + 98), background);

    p.frame->dispatch(Id(301));  // fit: the full client height, width in proportion
    shot = grab();
    // A picture wider than the window brings up the horizontal scroll bar.
    const QSize fitClient = window->viewport()->size();
    const int fitWidth = fitClient.height() * 2;
    QCOMPARE(p.state->display.fitWidth, fitWidth);
    QCOMPARE(p.state->display.fitHeight, fitClient.height());
    QCOMPARE(shot.pixelColor(fitClient.width() - 2, fitClient.height() - 2), white);
    QCOMPARE(window->horizontalScrollBar()->maximum(), std::max(fitWidth - fitClient.width(), 0));

    p.frame->dispatch(Id(301));
    p.frame->dispatch(Id(129));  // the centre cross at (100, 50), 60 pixels each way
    shot = grab();
    QCOMPARE(shot.pixelColor(100, 50), red);
    QCOMPARE(shot.pixelColor(160, 50), red);
    QCOMPARE(shot.pixelColor(100, 105), red);
    QCOMPARE(shot.pixelColor(110, 10), white);
  }

  void stretchDisplayDialogRules() {
    Program p;
    p.frame->dispatch(Id(1902));
    QVERIFY(p.state->display.stretchDisplay);
    p.frame->dispatch(Id(123));
    auto* dialog = p.frame->findChild<QDialog*>("dialog21");
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QString("Stretch Display"));
    auto* bar = dialog->findChild<QScrollBar*>("ctl21005");
    auto* number = dialog->findChild<QLineEdit*>("ctl21006");
    auto* activate = dialog->findChild<QCheckBox*>("ctl21002");
    QCOMPARE(bar->minimum(), 2);
    QCOMPARE(bar->maximum(), 50);
    QCOMPARE(number->text(), QString("25"));
    QVERIFY(activate->isChecked());
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(p.state->display.stretchPower, 2.0);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(p.state->display.stretchPower, 2.0);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(p.state->display.stretchPower, 50.0);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(p.state->display.stretchPower, 49.0);
    QCOMPARE(number->text(), QString("49"));
    QCOMPARE(bar->value(), 49);
    activate->click();
    QVERIFY(!p.state->display.stretchDisplay);
    QVERIFY(!activate->isChecked());
  }

  void colourRebuildShowsProgressAndColourPicture() {
    Program p;
    auto& images = p.state->images;
    images.colourConverted = 1;
    const int n = p.state->geometry.pixelCount;
    std::fill_n(images.workImage, n, std::uint16_t{100 << 8});
    std::fill_n(images.colourPlanes[qv::ImageStore::kRed], n, std::uint16_t{2000});
    std::fill_n(images.colourPlanes[qv::ImageStore::kGreen], n, std::uint16_t{1000});
    std::fill_n(images.colourPlanes[qv::ImageStore::kBlue], n, std::uint16_t{0});
    p.frame->dispatch(Id(1907));
    auto* progress = qApp->findChild<QDialog*>("dialog6");
    if (!progress) {
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == "dialog6") progress = qobject_cast<QDialog*>(top);
      }
    }
    QVERIFY(progress);
    QCOMPARE(progress->windowTitle(), QString("BUILDING COLOUR IMAGE"));
    QCOMPARE(progress->findChild<QProgressBar*>("ctl101")->maximum(), 256);
    QVERIFY(!progress->isVisible());
    const QImage shown = p.frame->client()->viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(20, 20), QColor(120, 70, 20));
  }

  void helpAndAbout() {
    Program p;
    p.frame->dispatch(Id(112));
    auto* help = p.frame->findChild<QTextBrowser*>("helpWindow");
    QVERIFY(help && help->isVisible());
    QVERIFY(help->toPlainText().contains("Stretch Display"));
    qv::test::RecordingHost recorder;
    qv::ShowHelpWindow(recorder, p.frame.get(), "qrc:/help/missing.html");
    QCOMPARE(recorder.boxes.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(recorder.boxes[0].text), QString("WinHelp failed!"));
    QCOMPARE(QString::fromStdString(recorder.boxes[0].caption), QString("Qel_K8"));
    QVERIFY(recorder.boxes[0].icon == qv::MessageIcon::Stop);
    qv::TAboutDialog about;
    QCOMPARE(about.windowTitle(), QString("Help About QEL_VESK_USB"));
    QStringList texts;
    for (auto* label : about.findChildren<QLabel*>()) texts << label->text();
    QVERIFY(texts.contains("Qel_Vesk_USB Image processing software for use with Corvane Qel K Series Colour cameras"));
    QCOMPARE(texts.size(), 3);
  }
};

QTEST_MAIN(CommandMenusTest)
#include "command_menus_test.moc"
