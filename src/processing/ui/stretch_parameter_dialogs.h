#pragma once
// "Power Law Stretch" and "Non-Linear Stretch": one value each, set with a
// scroll bar.

#include <QDialog>

#include "app/host.h"
#include "processing/dialog_steps.h"

class QLineEdit;
class QScrollBar;

namespace qv {

class TPowerDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TPowerDialog(Host& host, QWidget* parent = nullptr);
  double exponent() const { return step_.exponent(); }

 private:
  PowerLawStep step_;
  QScrollBar* bar_;
  QLineEdit* edit_;
};

class TNonLiniarDialog : public QDialog {
  Q_OBJECT
 public:
  TNonLiniarDialog(Host& host, int power, QWidget* parent = nullptr);
  int power() const { return step_.power; }

 private:
  NonLinearPowerStep step_;
  QScrollBar* bar_;
  QLineEdit* edit_;
};

}  // namespace qv
