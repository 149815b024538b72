#include "app/ui/stretch_display_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/display_commands.h"

namespace qv {

TStretchDisplayDialog::TStretchDisplayDialog(ProgramState& state, std::function<void(CommandId)> sendCommand,
                                             QWidget* parent)
    : QDialog(parent), state_(state), sendCommand_(std::move(sendCommand)) {
  setObjectName("dialog21");
  setWindowTitle("Stretch Display");
  setModal(false);

  activate_ = new QCheckBox("Activate", this);
  activate_->setObjectName("ctl21002");
  power_ = new QScrollBar(Qt::Horizontal, this);
  power_->setObjectName("ctl21005");
  power_->setRange(static_cast<int>(DisplayState::kMinStretchPower), static_cast<int>(DisplayState::kMaxStretchPower));
  power_->setMinimumWidth(200);
  powerText_ = new QLineEdit(this);
  powerText_->setObjectName("ctl21006");
  powerText_->setReadOnly(true);
  powerText_->setMaximumWidth(50);
  auto* close = new QPushButton("Close", this);
  close->setObjectName("ctlClose");

  auto* layout = new QGridLayout(this);
  layout->addWidget(activate_, 0, 0, 1, 3);
  layout->addWidget(new QLabel("Stretch Display Power ", this), 1, 0);
  layout->addWidget(power_, 1, 1);
  layout->addWidget(powerText_, 1, 2);
  layout->addWidget(new QLabel("** Only for mono images", this), 2, 0, 1, 3);
  layout->addWidget(close, 3, 2);

  // The box only switches the stretch off; the tool bar switches it on.
  connect(activate_, &QCheckBox::clicked, this, [this] {
    sendCommand_(CommandId::StretchDisplayOff);
    refresh();
  });
  connect(power_, &QScrollBar::actionTriggered, this, &TStretchDisplayDialog::scrollAction);
  connect(close, &QPushButton::clicked, this, [this] {
    hide();
    emit closed();
  });
}

void TStretchDisplayDialog::scrollAction(int action) {
  StretchScroll scroll;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      scroll = StretchScroll::LineUp;
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      scroll = StretchScroll::LineDown;
      break;
    case QAbstractSlider::SliderPageStepSub:
      scroll = StretchScroll::PageUp;
      break;
    case QAbstractSlider::SliderPageStepAdd:
      scroll = StretchScroll::PageDown;
      break;
    case QAbstractSlider::SliderMove:
      scroll = StretchScroll::Thumb;
      break;
    default:
      return;
  }
  const double power = StretchPowerAfterScroll(state_.display.stretchPower, scroll, power_->sliderPosition());
  // The scroll rule keeps the power within range.
  static_cast<void>(SetStretchPower(state_.display, power));
  // The bar shows the power the rule gave, not the step Qt would take.
  power_->setSliderPosition(static_cast<int>(power));
  refresh();
}

void TStretchDisplayDialog::refresh() {
  activate_->setChecked(state_.display.stretchDisplay);
  const int power = static_cast<int>(state_.display.stretchPower);
  if (power_->value() != power) {
    const QSignalBlocker block(power_);
    power_->setValue(power);
  }
  powerText_->setText(QString::number(power));
  if (!state_.images.colourConverted) sendCommand_(CommandId::StretchDisplayRefresh);
}

}  // namespace qv
