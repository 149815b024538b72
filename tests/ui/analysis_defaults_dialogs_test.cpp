// The analysis dialogs and the Set Program Defaults dialog on the offscreen
// platform: the controls with their texts, the buttons reading their fields,
// and the plots painted at their coordinates on the smallest frame.

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "app/program_defaults.h"
#include "app/startup.h"
#include "app/ui/main_window.h"
#include "app/ui/program_defaults_dialog.h"
#include "processing/analysis_views.h"
#include "processing/photometry.h"
#include "processing/pixel_values.h"
#include "processing/ui/analysis_dialogs.h"
#include "support/dialog_control.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/test_clock.h"

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The smallest frame: the K7 sensor binned.
std::unique_ptr<qv::ProgramState> SmallestFrame(std::uint16_t value) {
  auto state = std::make_unique<qv::ProgramState>();
  qv::SetFrameSize(state->geometry, 652, 512);
  std::fill_n(state->images.workImage, 652 * 512, value);
  return state;
}

struct DefaultsSetup {
  qv::test::TempDir root;
  std::unique_ptr<qv::ProgramState> state = std::make_unique<qv::ProgramState>();
  qv::test::RecordingHost host;
  qv::test::TestClock clock;
  DefaultsSetup() { state->paths.root = root.str(); }
};

}  // namespace

class AnalysisDefaultsDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void defaultsDialogHasEveryControlWithItsText() {
    DefaultsSetup s;
    qv::TINIDialog dialog(*s.state, s.host, s.clock);
    QCOMPARE(dialog.windowTitle(), QString("Set Program Defaults"));
    for (const auto& group : qv::DefaultsRadioGroups()) {
      for (const auto& choice : group.choices) {
        auto* button = Control<QRadioButton>(&dialog, choice.control);
        QVERIFY2(button, qPrintable(QString::number(choice.control)));
        QCOMPARE(button->text(), Text(choice.text));
      }
    }
    for (const auto& box : qv::DefaultsCheckBoxes()) {
      auto* check = Control<QCheckBox>(&dialog, box.control);
      QVERIFY2(check, qPrintable(QString::number(box.control)));
      QCOMPARE(check->text(), Text(box.text));
      QCOMPARE(check->isEnabled(), box.shown);
      QCOMPARE(check->isHidden(), !box.shown);
    }
    for (const auto& field : qv::SlewFields()) QVERIFY(Control<QLineEdit>(&dialog, field.control));
    for (int id : {17163, 17153, 17160, 17110, 17990, 17166, 17169}) QVERIFY(Control<QLineEdit>(&dialog, id));
    const std::pair<int, const char*> buttons[] = {{17124, "Set slew values"},
                                                   {17162, "Set Filter Details"},
                                                   {17991, "Set AutoSave Dir"},
                                                   {1, "Save Changes"},
                                                   {2, "Cancel"}};
    for (const auto& [id, text] : buttons) QCOMPARE(Control<QPushButton>(&dialog, id)->text(), QString(text));
    QCOMPARE(Control<QGroupBox>(&dialog, 17177)->title(), QString("Radius of Guide Star Mask"));
    QCOMPARE(Control<QGroupBox>(&dialog, 17145)->title(), QString("Default Guide Training Time"));
    QCOMPARE(Control<QGroupBox>(&dialog, 17146)->title(), QString("Com Port for telescope control"));
    QVERIFY(Control<QRadioButton>(&dialog, 17230)->isChecked());  // type 6 shows the first model
    QCOMPARE(Control<QLineEdit>(&dialog, 17169)->text(), QString("1"));
  }

  void eachButtonReadsItsFields() {
    DefaultsSetup s;
    qv::TINIDialog dialog(*s.state, s.host, s.clock);
    Control<QLineEdit>(&dialog, 17117)->setText("25");
    Control<QLineEdit>(&dialog, 17125)->setText("40");
    Control<QLineEdit>(&dialog, 17111)->setText("0");
    Control<QPushButton>(&dialog, 17124)->click();
    QCOMPARE(s.state->settings.raHysteresis, std::int16_t(20));
    QCOMPARE(s.state->settings.raBacklash, std::int16_t(30));
    QCOMPARE(s.state->settings.guiderRaRate, std::int16_t(1));
    QCOMPARE(Control<QLineEdit>(&dialog, 17117)->text(), QString("20"));

    Control<QLineEdit>(&dialog, 17163)->setText("9");
    Control<QLineEdit>(&dialog, 17153)->setText("Luminance1");
    Control<QPushButton>(&dialog, 17162)->click();
    QCOMPARE(s.state->settings.filterCount, std::int16_t(7));
    QCOMPARE(Control<QLineEdit>(&dialog, 17153)->text(), QString("Luminance"));

    Control<QLineEdit>(&dialog, 17990)->setText("night");
    Control<QPushButton>(&dialog, 17991)->click();
    QCOMPARE(QString::fromStdString(s.state->settings.autosaveDirectory.str()), QString("c:\\night"));
    QVERIFY(s.host.boxes.empty());
  }

  void controlsActAtOnceAndTheStatusFollows() {
    DefaultsSetup s;
    qv::TINIDialog dialog(*s.state, s.host, s.clock);
    QCOMPARE(Control<QLineEdit>(&dialog, 17110)->text(), QString());
    Control<QCheckBox>(&dialog, 17147)->click();
    QCOMPARE(Control<QLineEdit>(&dialog, 17110)->text(), QString("on Com2"));
    Control<QRadioButton>(&dialog, 17225)->click();
    QCOMPARE(s.state->settings.telescopePort, '2');
    QCOMPARE(Control<QLineEdit>(&dialog, 17110)->text(), QString("on Com1"));
    Control<QCheckBox>(&dialog, 17168)->click();
    QCOMPARE(s.host.boxes.back().number, 80);
    QVERIFY(!Control<QCheckBox>(&dialog, 17168)->isChecked());
    Control<QRadioButton>(&dialog, 17119)->click();
    QCOMPARE(s.state->settings.windowBackground, 'r');
    Control<QPushButton>(&dialog, 2)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(s.state->settings.windowBackground, 'r');  // kept in memory
  }

  void saveChangesClosesOnlyWithAGoodFolder() {
    DefaultsSetup s;
    qv::TINIDialog dialog(*s.state, s.host, s.clock);
    Control<QLineEdit>(&dialog, 17990)->setText("x:\\nowhere");
    Control<QLineEdit>(&dialog, 17121)->setText("7");
    Control<QPushButton>(&dialog, 1)->click();
    QCOMPARE(s.host.boxes.back().number, 52);
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(s.state->settings.raRate, std::int16_t(2));
    Control<QLineEdit>(&dialog, 17990)->setText("");
    Control<QLineEdit>(&dialog, 17121)->setText("7");
    Control<QPushButton>(&dialog, 1)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(s.state->settings.raRate, std::int16_t(7));
    QCOMPARE(QString::fromStdString(s.state->settings.derived.autosaveDirectory), QString("c:\\AUTOSAVE"));
  }

  void histogramDrawsBarsAtTheirPlaces() {
    auto state = SmallestFrame(0);
    qv::test::RecordingHost host;
    state->images.displayHistogram[0] = 1500;
    state->images.displayHistogram[100] = 500;
    qv::THistogramDialog dialog(*state, host);
    QCOMPARE(dialog.windowTitle(), QString("Histogram of Current Image"));
    QVERIFY(Control<QPushButton>(&dialog, 101));
    const QImage plot = dialog.findChild<QWidget*>("histogramPlot")->grab().toImage();
    QCOMPARE(plot.pixelColor(8, 1), QColor(200, 0, 0));      // 210 high, highlighted
    QCOMPARE(plot.pixelColor(108, 111), QColor(0, 0, 160));  // 100 high
    QVERIFY(plot.pixelColor(108, 109) != QColor(0, 0, 160));
    QCOMPARE(plot.pixelColor(136, 224), QColor(Qt::black));  // the middle tick
  }

  void plotsPaintOnTheSmallestFrame() {
    auto state = SmallestFrame(38400);  // 100 pixels high
    state->analysis.rowPlot.row = 600;  // past the frame's last row
    qv::TRowPlotDialog row(*state);
    QCOMPARE(Control<QLineEdit>(&row, 101)->text(), QString("511"));
    const QImage rowPlot = row.findChild<QWidget*>("rowPlot")->grab().toImage();
    QCOMPARE(rowPlot.pixelColor(300, 98), QColor(0, 0, 160));
    QCOMPARE(rowPlot.pixelColor(300, 150), QColor(255, 255, 255));

    qv::TPlot3dDialog plot(*state);
    QTRY_VERIFY(plot.complete());
    const QImage plot3d = plot.findChild<QWidget*>("plot3d")->grab().toImage();
    // Trace k = 2 starts at x 135, y 2 + 186 - 100.
    QCOMPARE(plot3d.pixelColor(140, 88), QColor(0, 0, 160));
    // The last inside the 512 rows, k = 63 (row 504), from x 74 at
    // y 63 + 186 - 100; nothing left of it.
    QCOMPARE(plot3d.pixelColor(74, 149), QColor(0, 0, 160));
    QCOMPARE(plot3d.pixelColor(73, 149), QColor(255, 255, 255));
  }

  void photometryShowsThePicksAndClosingEndsTheMode() {
    auto state = SmallestFrame(1000);
    qv::test::RecordingHost host;
    QCOMPARE(qv::OpenPhotometryView(*state, host), qv::ViewOpening::Opened);
    auto* dialog = new qv::TPhotometryDialog(*state, host);
    QCOMPARE(dialog->windowTitle(), QString("PHOTOMETRY"));
    QVERIFY(Control<QRadioButton>(dialog, 116)->isChecked());  // radius 4
    Control<QRadioButton>(dialog, 114)->click();
    QCOMPARE(state->analysis.photometry.radius, 2);
    QVERIFY(qv::RecordPhotometryClick(state->analysis.photometry, state->images, state->geometry, host, 40, 50));
    QCOMPARE(Control<QLineEdit>(dialog, 104)->text(), QString("40"));
    QCOMPARE(Control<QLineEdit>(dialog, 157)->text(), QString("   1000"));
    QCOMPARE(Control<QRadioButton>(dialog, 119)->text(), QString("17 Pixels"));
    Control<QRadioButton>(dialog, 119)->click();
    QCOMPARE(Control<QLineEdit>(dialog, 104)->text(), QString("0"));
    delete dialog;
    QVERIFY(!state->analysis.photometry.open);
    QVERIFY(!state->display.mouseModeActive);
  }

  void pixelValuesFollowThePointer() {
    auto state = SmallestFrame(4321);
    qv::test::RecordingHost host;
    QVERIFY(qv::OpenPixelValues(*state) == qv::ViewOpening::Opened);
    char shown = 0;
    auto* dialog = new qv::TPixelValuesDialog(*state, host, [&shown](char letter) { shown = letter; });
    dialog->show();
    QVERIFY(qv::RecordPixelValuesPointer(state->analysis.values, state->images, state->geometry, 10, 20));
    QCOMPARE(Control<QLineEdit>(dialog, 1801)->text(), QString("10"));
    QCOMPARE(Control<QLineEdit>(dialog, 1806)->text(), QString("  4321"));
    Control<QPushButton>(dialog, 1809)->click();
    QCOMPARE(shown, 'G');
    state->display.channelView = 'G';
    Control<QPushButton>(dialog, 1807)->click();
    QVERIFY(!state->analysis.values.open);
    QCOMPARE(state->display.channelView, 'N');
    delete dialog;
    QVERIFY(!state->analysis.values.open);
    QCOMPARE(state->display.channelView, 'N');
  }

  void theMenuCommandsOpenTheirDialogsOnce() {
    QTemporaryDir root;
    auto state = std::make_unique<qv::ProgramState>();
    state->paths.root = root.path().toStdString();
    qv::QtHost host;
    qv::RunStartup(*state, host);
    qv::TQel_VeskFrame frame(*state, host);
    frame.show();
    for (int id : {6, 14, 15, 16, 8124, 121}) {
      frame.refreshCommandStates();
      QVERIFY2(frame.findChild<QAction*>(QString("cmd%1").arg(id))->isEnabled(), qPrintable(QString::number(id)));
    }
    frame.dispatch(qv::CommandId::Histogram);
    frame.dispatch(qv::CommandId::IntensityPlot3d);
    frame.dispatch(qv::CommandId::ShowValues);
    frame.dispatch(qv::CommandId::ShowValues);
    frame.dispatch(qv::CommandId::Photometry);
    QCOMPARE(frame.findChildren<QDialog*>("dialog5").size(), qsizetype(1));
    QCOMPARE(frame.findChildren<QDialog*>("dialog11").size(), qsizetype(1));
    QCOMPARE(frame.findChildren<QDialog*>("dialog28").size(), qsizetype(1));
    auto* photometry = frame.findChild<QDialog*>("dialog10");
    QVERIFY(photometry);
    QCOMPARE(frame.client()->viewport()->cursor().shape(), Qt::CrossCursor);
    Control<QPushButton>(photometry, 2)->click();
    QTRY_VERIFY(!frame.findChild<QDialog*>("dialog10"));
    QVERIFY(!state->analysis.photometry.open);
    QCOMPARE(frame.client()->viewport()->cursor().shape(), Qt::ArrowCursor);
    frame.findChild<QDialog*>("dialog11")->close();
    QTRY_VERIFY(!state->analysis.plot3dOpen);
  }
};

QTEST_MAIN(AnalysisDefaultsDialogsTest)
#include "analysis_defaults_dialogs_test.moc"
