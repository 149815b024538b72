#pragma once
// "Auto-Processing Choices": the stretch, filters and their numbers that
// every new frame goes through.

#include <QDialog>

#include "app/host.h"
#include "app/program_settings.h"

class QLineEdit;
class QRadioButton;
class QCheckBox;

namespace qv {

class TAutoDialog : public QDialog {
  Q_OBJECT
 public:
  TAutoDialog(ProgramSettings& settings, Host& host, QWidget* parent = nullptr);

 private:
  void showValues();
  void save();

  ProgramSettings& settings_;
  Host& host_;
  QRadioButton *none_, *weak_, *strong_, *user_;
  QCheckBox *background_, *highPass_, *unsharp_;
  QLineEdit *userPower_, *radius_, *power_;
};

}  // namespace qv
