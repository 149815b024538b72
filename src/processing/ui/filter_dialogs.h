#pragma once
// "Unsharp Mask Filter" and "Median Filter": radius and power.

#include <QDialog>

#include "app/host.h"
#include "processing/dialog_steps.h"

class QLineEdit;
class QScrollBar;

namespace qv {

class TUnsharpDialog : public QDialog {
  Q_OBJECT
 public:
  TUnsharpDialog(Host& host, int radius, int power, QWidget* parent = nullptr);
  int radius() const { return radius_.value; }
  int power() const { return power_.value; }

 private:
  BoundedStep radius_;
  BoundedStep power_;
};

class TMedianDialog : public QDialog {
  Q_OBJECT
 public:
  // Power in tenths.
  TMedianDialog(Host& host, int radius, int powerTenths, QWidget* parent = nullptr);
  int radius() const { return radius_.value; }
  int powerTenths() const { return power_.value; }

 private:
  BoundedStep radius_;
  BoundedStep power_;
};

}  // namespace qv
