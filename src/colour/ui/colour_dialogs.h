#pragma once
// The colour dialogs: synthesis options, single filter choice, colour
// starting balance and chromatism. They only show and edit values; the
// commands run in the core.

#include <QDialog>
#include <array>

#include "app/host.h"
#include "app/program_settings.h"
#include "colour/colour_state.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QSpinBox;

namespace qv {

// "SYNTHESIZE COLOUR IMAGE": edits the settings' synthesis options and the
// daylight and light pollution flags in place. Create Image stores each of
// the three numbers that is in its range, closes when all three are and
// otherwise beeps; the fields then show the stored values again.
class TColourDialog : public QDialog {
 public:
  TColourDialog(ProgramSettings& settings, ColourState& colour, Host& host, QWidget* parent = nullptr);

 private:
  void createImage();
  void showStored();

  ProgramSettings& settings_;
  Host& host_;
  QLineEdit *power_, *radius_, *unsharpPower_;
};

// "Construct Single Filter Image": the cell of the 2 x 2 matrix to keep.
class TMonoImageDialog : public QDialog {
 public:
  TMonoImageDialog(int choice, Host& host, QWidget* parent = nullptr);
  int choice() const { return choice_; }

 private:
  int choice_;
};

// "Colour Starting Balance": the three histograms and per colour start,
// minimum and maximum, and the saturation factor.
class TBalanceDialog : public QDialog {
 public:
  TBalanceDialog(const ColourState& colour, int saturation, Host& host, QWidget* parent = nullptr);
  const std::array<ColourBalance, 3>& values() const { return values_; }
  int saturation() const;

 private:
  std::array<ColourBalance, 3> values_;
  QSpinBox* saturation_;
};

// "CHROMATIC ADJUSTMENT": four shifts of -3 to 3, starting at 0.
class TChromaticDialog : public QDialog {
 public:
  TChromaticDialog(Host& host, QWidget* parent = nullptr);
  const ChromatismShifts& shifts() const { return shifts_; }

 private:
  ChromatismShifts shifts_;
};

}  // namespace qv
