// The file dialogs on the offscreen platform: controls by their ids, the
// limits, what "Continue", "Abort", "Save" and "Cancel" keep.

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>
#include <set>

#include "app/ui/control_name.h"
#include "files/ui/auto_dialog.h"
#include "files/ui/delete_dialog.h"
#include "files/ui/file_dialogs.h"
#include "files/ui/files_ui_commands.h"
#include "files/ui/fits_dialog.h"
#include "support/recording_host.h"

template <typename T>
T* Control(QWidget& dialog, int id) {
  T* control = dialog.findChild<T*>(qv::ControlName(id));
  if (!control) qFatal("control %d missing", id);
  return control;
}

class FilesDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void fitsDialogShowsLimitsAndReadsBackOnContinue() {
    qv::ProgramSettings settings;
    settings.fits.object = "M 31";
    settings.utOffsetHours = 10;
    qv::TFITSDialog dialog(settings);
    QCOMPARE(dialog.windowTitle(), QString("FITS DETAILS"));
    QCOMPARE(Control<QLineEdit>(dialog, 101)->text(), QString("M 31"));
    QCOMPARE(Control<QLineEdit>(dialog, 105)->text(), QString("Corvane CCD"));
    QCOMPARE(Control<QLineEdit>(dialog, 101)->maxLength(), 67);
    QCOMPARE(Control<QLineEdit>(dialog, 103)->maxLength(), 11);
    QCOMPARE(Control<QLineEdit>(dialog, 113)->maxLength(), 19);
    QVERIFY(Control<QCheckBox>(dialog, 117)->isHidden());

    // Line up (the left arrow) adds an hour up to 11.
    auto* scroll = Control<QScrollBar>(dialog, 111);
    scroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
    scroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(scroll->value(), 11);
    QCOMPARE(Control<QLineEdit>(dialog, 112)->text(), QString("11"));

    Control<QLineEdit>(dialog, 103)->setText("2024-05-06");
    Control<QLineEdit>(dialog, 114)->setText("not a number");
    Control<QPlainTextEdit>(dialog, 107)->setPlainText("stacked");
    settings.fits.aperture = 3.5;
    Control<QPushButton>(dialog, 1)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(settings.fits.dateObs.str(), std::string("2024-05-06"));
    QCOMPARE(settings.fits.historyText.str(), std::string("stacked"));
    QCOMPARE(settings.fits.aperture, 3.5);
    QCOMPARE(int(settings.utOffsetHours), 11);
  }

  void fitsDialogTimeDifferenceLineDownSubtracts() {
    qv::ProgramSettings settings;
    settings.utOffsetHours = -9;
    qv::TFITSDialog dialog(settings);
    auto* scroll = Control<QScrollBar>(dialog, 111);
    auto* shown = Control<QLineEdit>(dialog, 112);
    scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // line down, the right arrow
    QCOMPARE(scroll->value(), -10);
    QCOMPARE(shown->text(), QString("-10"));
    scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(scroll->value(), -11);
    QCOMPARE(shown->text(), QString("-11"));
    scroll->triggerAction(QAbstractSlider::SliderSingleStepSub);  // line up, the left arrow
    QCOMPARE(scroll->value(), -10);
    scroll->setSliderPosition(5);  // a dragged thumb moves nothing
    QCOMPARE(scroll->value(), -10);
    Control<QPushButton>(dialog, 1)->click();
    QCOMPARE(int(settings.utOffsetHours), -10);
  }

  void fitsDialogAbortKeepsFieldsButNotCheckBoxes() {
    qv::ProgramSettings settings;
    qv::TFITSDialog dialog(settings);
    Control<QLineEdit>(dialog, 101)->setText("changed");
    Control<QCheckBox>(dialog, 108)->click();
    Control<QPushButton>(dialog, 2)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(settings.fits.object.str(), std::string());
    QCOMPARE(settings.fits.eightBit, 1);
  }

  void autoDialogChangesAtOnceAndValidatesOnSave() {
    qv::ProgramSettings settings;
    settings.autoStrongStretch = true;
    qv::test::RecordingHost host;
    qv::TAutoDialog dialog(settings, host);
    QVERIFY(Control<QRadioButton>(dialog, 103)->isChecked());
    QCOMPARE(Control<QLineEdit>(dialog, 111)->text(), QString("4"));
    Control<QRadioButton>(dialog, 104)->click();
    QVERIFY(settings.autoUserStretch && !settings.autoStrongStretch);
    Control<QCheckBox>(dialog, 106)->click();
    QVERIFY(settings.autoRemoveBackground);

    Control<QLineEdit>(dialog, 111)->setText("30");
    Control<QPushButton>(dialog, 1)->click();
    QCOMPARE(host.beeps, 1);
    QCOMPARE(Control<QLineEdit>(dialog, 111)->text(), QString("4"));  // rewritten with the value held
    QVERIFY(!dialog.result());

    Control<QLineEdit>(dialog, 111)->setText("12");
    Control<QPushButton>(dialog, 1)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(int(settings.autoUserStretchLevel), 12);

    Control<QPushButton>(dialog, 9)->click();
    QCOMPARE(host.boxes.back().caption, std::string("LUMK8 - Auto Processing"));
  }

  void deleteDialogShowsThePath() {
    qv::TDeleteDialog dialog("/tmp/x.fit");
    QCOMPARE(dialog.windowTitle(), QString("DELETE FILE DIALOG"));
    QCOMPARE(Control<QLineEdit>(dialog, 9011)->text(), QString("/tmp/x.fit"));
    QCOMPARE(Control<QPushButton>(dialog, 1)->text(), QString("OK"));
  }

  void filtersAndCommandTable() {
    QCOMPARE(qv::QtNameFilters("Corvane (~*.)|~*.*|FITS files|*.FIT|All Files|*.*|"),
             QStringList({"Corvane (~*.) (~*.*)", "FITS files (*.FIT)", "All Files (*.*)"}));
    // Every file command that opens or saves a file asks for it first.
    std::set<qv::CommandId> ids;
    for (const auto& [id, ask] : qv::FilesDialogs()) {
      QVERIFY(ask != nullptr);
      QVERIFY(ids.insert(id).second);
    }
    using Id = qv::CommandId;
    QCOMPARE(ids, (std::set<Id>{Id::Open, Id::LoadHotPixelMap, Id::SaveRaw, Id::SaveTiff, Id::SaveFits, Id::SaveRgbFits,
                                Id::SaveFlat, Id::DeleteFile, Id::SelectDarkFrame, Id::SelectFlatField}));
  }
};

QTEST_MAIN(FilesDialogsTest)
#include "files_dialogs_test.moc"
