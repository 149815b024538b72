#include "processing/ui/filter_dialogs.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "processing/median_filter.h"
#include "processing/ui/dialog_controls.h"
#include "processing/unsharp_mask.h"

namespace qv {

namespace {

// Arrows step the value; anything else leaves it.
void StepOnArrows(QScrollBar* bar, BoundedStep& value, QLineEdit* edit, std::function<QString(int)> format) {
  OnScroll(
      bar,
      [&value, edit, format](int action) {
        if (action == QAbstractSlider::SliderSingleStepAdd) value.lineUp();
        if (action == QAbstractSlider::SliderSingleStepSub) value.lineDown();
        edit->setText(format(value.value));
      },
      [&value] { return value.value; });
}

// One row of a filter dialog: label, scroll bar, edit box.
void AddRow(QWidget* dialog, QGridLayout* grid, int row, const char* label, QScrollBar* bar, QLineEdit* edit) {
  grid->addWidget(new QLabel(label, dialog), row, 0);
  grid->addWidget(bar, row, 1);
  grid->addWidget(edit, row, 2);
}

}  // namespace

TUnsharpDialog::TUnsharpDialog(Host& host, int radius, int power, QWidget* parent)
    : QDialog(parent),
      radius_{radius, kUnsharpMinimum, kUnsharpMaximum},
      power_{power, kUnsharpMinimum, kUnsharpMaximum} {
  setObjectName("dialog1");
  setWindowTitle("Unsharp Mask Filter");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto* radiusBar = MakeScrollBar(this, 101, kUnsharpMinimum, kUnsharpMaximum, radius);
  auto* powerBar = MakeScrollBar(this, 102, kUnsharpMinimum, kUnsharpMaximum, power);
  auto* radiusEdit = MakeEdit(this, 103, QString::number(radius));
  auto* powerEdit = MakeEdit(this, 104, QString::number(power));
  AddRow(this, grid, 0, "Radius", radiusBar, radiusEdit);
  AddRow(this, grid, 1, "Power", powerBar, powerEdit);
  layout->addLayout(grid);
  AddDialogButtons(this, layout, host, "Qel_K8_USB - Unsharp Mask Filter",
                   "Use controls to vary the radius from 1 to 7, and the power from 1 to 7.");
  const auto number = [](int v) { return QString::number(v); };
  StepOnArrows(radiusBar, radius_, radiusEdit, number);
  StepOnArrows(powerBar, power_, powerEdit, number);
}

TMedianDialog::TMedianDialog(Host& host, int radius, int powerTenths, QWidget* parent)
    : QDialog(parent), radius_{radius, 1, kMedianMaxRadius}, power_{powerTenths, 1, kMedianMaxPowerTenths} {
  setObjectName("dialog4");
  setWindowTitle("Median Filter");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto* radiusEdit = MakeEdit(this, 101, QString::number(radius));
  auto* powerEdit =
      MakeEdit(this, 102, powerTenths == 6 ? QString(".6") : QString::asprintf("%1.1f", powerTenths / 10.0));
  auto* radiusBar = MakeScrollBar(this, 103, 1, kMedianMaxRadius, radius);
  auto* powerBar = MakeScrollBar(this, 104, 1, kMedianMaxPowerTenths, powerTenths);
  AddRow(this, grid, 0, "Radius", radiusBar, radiusEdit);
  AddRow(this, grid, 1, "Power", powerBar, powerEdit);
  layout->addLayout(grid);
  AddDialogButtons(this, layout, host, "Qel_K8_USB - Median Filter",
                   "Use controls to vary the radius from 1 to 3, and the power from 0.1 to 1.");
  StepOnArrows(radiusBar, radius_, radiusEdit, [](int v) { return QString::number(v); });
  StepOnArrows(powerBar, power_, powerEdit, [](int v) { return QString::asprintf("%1.1f", v / 10.0); });
}

}  // namespace qv
