#include "processing/ui/stretch_parameter_dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "processing/ui/dialog_controls.h"

namespace qv {

TPowerDialog::TPowerDialog(Host& host, QWidget* parent) : QDialog(parent) {
  setObjectName("dialog2");
  setWindowTitle("Power Law Stretch");
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  bar_ = MakeScrollBar(this, 101, 1, 30, step_.position());
  edit_ = MakeEdit(this, 102, "1.0");
  row->addWidget(bar_);
  row->addWidget(edit_);
  layout->addLayout(row);
  AddDialogButtons(this, layout, host, "Qel_K8_USB - Power Law Stretch",
                   "Use controls to vary power from 0.1 to 3.0, where powers greater than 1 will increase contrast, "
                   "and powers less than 1 will reduce contrast.");
  OnScroll(
      bar_,
      [this](int action) {
        switch (action) {
          case QAbstractSlider::SliderSingleStepAdd:
            step_.lineUp();
            break;
          case QAbstractSlider::SliderSingleStepSub:
            step_.lineDown();
            break;
          case QAbstractSlider::SliderMove:
            step_.thumb(bar_->sliderPosition());
            break;
          default:
            break;
        }
        edit_->setText(QString::asprintf("%1.1f", step_.exponent()));
      },
      [this] { return step_.position(); });
}

TNonLiniarDialog::TNonLiniarDialog(Host& host, int power, QWidget* parent) : QDialog(parent) {
  setObjectName("dialog16");
  setWindowTitle("Non-Linear Stretch");
  step_.power = power;
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Non-Linear Power", this));
  auto* row = new QHBoxLayout;
  bar_ = MakeScrollBar(this, 213, 1, 50, power);
  edit_ = MakeEdit(this, 102, QString::number(power));
  row->addWidget(bar_);
  row->addWidget(edit_);
  layout->addLayout(row);
  auto* text = new QLabel(
      "This stretch works well for images of nebulae. First use the stretch that removes the background. ", this);
  text->setWordWrap(true);
  layout->addWidget(text);
  AddDialogButtons(this, layout, host, "Qel_K8_USB - NonLiniar Filter", "Use controls to vary the Power from 2 to 50");
  OnScroll(
      bar_,
      [this](int action) {
        const std::string typed = edit_->text().trimmed().toStdString();
        switch (action) {
          case QAbstractSlider::SliderSingleStepAdd:
            step_.lineUp(typed);
            break;
          case QAbstractSlider::SliderSingleStepSub:
            step_.lineDown(typed);
            break;
          default:
            break;
        }
        edit_->setText(QString::number(step_.power));
      },
      [this] { return step_.power; });
}

}  // namespace qv
