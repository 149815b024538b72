// The colour dialogs on the offscreen platform: the synthesis options'
// validation, the single filter choice, the balance rules and picture, the chromatism
// arrows, and a balance asked for and run as the window runs it.

#include "colour/ui/colour_dialogs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <sstream>

#include "app/ui/qt_host.h"
#include "colour/ui/colour_ui_commands.h"
#include "support/temp_dir.h"
#include "support/test_clock.h"

namespace {

template <typename T>
T* Control(QWidget* dialog, const QString& name) {
  return dialog->findChild<T*>("ctl" + name);
}
QLineEdit* Edit(QWidget* dialog, int id) { return Control<QLineEdit>(dialog, QString::number(id)); }
QPushButton* Button(QWidget* dialog, int id) { return Control<QPushButton>(dialog, QString::number(id)); }

}  // namespace

class ColourDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void createImageStoresValidNumbersAndRevertsTheRest() {
    qv::QtHost host;
    qv::ProgramSettings settings;
    qv::ColourState colour;
    qv::TColourDialog dialog(settings, colour, host);
    QCOMPARE(Edit(&dialog, 2631)->text(), QString("4"));
    Edit(&dialog, 2631)->setText("12");
    Edit(&dialog, 2632)->setText("9");  // outside 2 to 6
    Edit(&dialog, 2633)->setText("5");
    Button(&dialog, 1)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(settings.autoUserStretchLevel, std::int16_t{12});
    QCOMPARE(settings.unsharpPower, std::int16_t{5});
    QCOMPARE(settings.unsharpRadius, std::int16_t{3});
    QCOMPARE(Edit(&dialog, 2632)->text(), QString("3"));
    Control<QRadioButton>(&dialog, "2613")->click();
    QVERIFY(settings.autoStrongStretch && !settings.autoWeakStretch && !settings.autoUserStretch);
    Control<QCheckBox>(&dialog, "2604")->click();
    QVERIFY(colour.daylightImage);
    Button(&dialog, 1)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
  }

  void monoDialogShowsAndTakesTheChoice() {
    qv::QtHost host;
    qv::TMonoImageDialog dialog(3, host);
    QVERIFY(Control<QRadioButton>(&dialog, "3103")->isChecked());
    Control<QRadioButton>(&dialog, "3102")->click();
    QCOMPARE(dialog.choice(), 2);
  }

  void balanceMinimumStaysBelowMaximum() {
    qv::QtHost host;
    qv::ColourState colour;
    colour.histograms[0][5] = 5000;  // over the top: cut at 210, clip pen
    colour.histograms[1][5] = 150;   // blue, 10 high
    qv::TBalanceDialog dialog(colour, 3, host);
    Control<QScrollBar>(&dialog, "107")->setValue(20);  // red maximum
    Control<QScrollBar>(&dialog, "101")->setValue(30);  // red minimum
    QCOMPARE(dialog.values()[0].minimum, 19);
    QCOMPARE(Edit(&dialog, 104)->text(), QString("19"));
    const QImage plot = dialog.findChild<QWidget*>("balancePlot")->grab().toImage();
    QCOMPARE(plot.pixelColor(13, 1), QColor(255, 150, 0));
    QCOMPARE(plot.pixelColor(313, 201), QColor(Qt::blue));
    QVERIFY(plot.pixelColor(313, 199) != QColor(Qt::blue));
    // Red markers at minimum 19 and maximum 20 (bins 9 and 10) in the band.
    QCOMPARE(plot.pixelColor(17, 221), QColor(Qt::red));
    QCOMPARE(plot.pixelColor(18, 230), QColor(Qt::red));
    QCOMPARE(plot.pixelColor(4, 225), QColor(Qt::black));  // the band's edge
    Control<QScrollBar>(&dialog, "116")->setValue(-5);     // blue start
    QCOMPARE(dialog.values()[1].start, -5);
    Control<QSpinBox>(&dialog, "108")->setValue(12);
    QCOMPARE(dialog.saturation(), 9);
  }

  void chromatismArrowsStepWithinThree() {
    qv::QtHost host;
    qv::TChromaticDialog dialog(host);
    for (int i = 0; i < 5; ++i) Control<QToolButton>(&dialog, "151")->click();  // red right
    QCOMPARE(dialog.shifts().redX, 3);
    Control<QToolButton>(&dialog, "102")->click();  // blue down
    QCOMPARE(dialog.shifts().blueY, -1);
    Control<QToolButton>(&dialog, "119back")->click();  // red up
    QCOMPARE(dialog.shifts().redY, 1);
    QCOMPARE(Edit(&dialog, 29156)->text(), QString("3"));
  }

  void balanceAskedAndRunAsTheWindowDoes() {
    auto state = std::make_unique<qv::ProgramState>();
    qv::test::TempDir root;
    state->paths.root = root.str();
    qv::SetFrameSize(state->geometry, 20, 10);
    for (int p = 0; p < 3; ++p) std::fill_n(state->images.colourPlanes[p], 200, std::uint16_t{40000});
    state->images.colourConverted = 1;
    qv::QtHost host;
    QTimer::singleShot(0, [] {
      QWidget* dialog = QApplication::activeModalWidget();
      QVERIFY(dialog);
      Control<QScrollBar>(dialog, "114")->setValue(10);  // red start 10
      Button(dialog, 1)->click();
    });
    auto args = qv::AskColourBalance(*state, host, nullptr);
    QVERIFY(args.has_value());
    qv::test::TestClock clock;
    std::ostringstream notes;
    qv::CommandContext context{*state, host, clock, notes, notes};
    QCOMPARE(int(qv::RunCommand(*qv::FindCommand(qv::CommandId::SetColourBalance), context, *args)),
             int(qv::CommandStatus::Done));
    QCOMPARE(int(state->images.colourPlanes[0][0]), 40000 - 2560);
    // Green and blue went through their default tables.
    QCOMPARE(int(state->images.colourPlanes[2][0]), int(40000LL * 65535 / 65280));
  }
};

QTEST_MAIN(ColourDialogsTest)
#include "colour_dialogs_test.moc"
