#pragma once
// "FITS DETAILS": the header values of the next saved file.

#include <QDialog>

#include "app/program_settings.h"

class QLineEdit;
class QPlainTextEdit;
class QScrollBar;
class QCheckBox;

namespace qv {

class TFITSDialog : public QDialog {
  Q_OBJECT
 public:
  TFITSDialog(ProgramSettings& settings, QWidget* parent = nullptr);

 private:
  void readBack();  // "Continue"

  ProgramSettings& settings_;
  QLineEdit *object_, *observer_, *origin_, *telescope_, *focalLength_, *aperture_, *filter_, *instrument_, *exposure_,
      *date_, *time_, *utOffsetText_;
  QPlainTextEdit *history_, *comment_;
  QScrollBar* utOffset_;
  QCheckBox *eightBit_, *unsignedFormat_;
};

// Runs the dialog modally; true when "Continue" was pressed.
bool EditFitsDetails(ProgramSettings& settings, QWidget* parent);

}  // namespace qv
