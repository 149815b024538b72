#pragma once
// "Sub-Frame Selection": the half, third or quarter frame read-out size.

#include <QDialog>

class QRadioButton;

namespace qv {

class Host;

class TSubFrameDialog : public QDialog {
  Q_OBJECT
 public:
  TSubFrameDialog(Host& host, int windowMode, QWidget* parent = nullptr);

  // The window mode chosen last (2, 3 or 4).
  int windowMode() const { return mode_; }

 private:
  void check();

  int mode_;
  QRadioButton* buttons_[3];
};

}  // namespace qv
