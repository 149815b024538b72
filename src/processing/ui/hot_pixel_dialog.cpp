#include "processing/ui/hot_pixel_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/program_state.h"
#include "processing/hot_pixel_map.h"
#include "processing/ui/dialog_controls.h"

namespace qv {

namespace {

QLineEdit* ReadOnly(QWidget* parent, int id) {
  QLineEdit* edit = MakeEdit(parent, id, QString());
  edit->setReadOnly(true);
  return edit;
}

}  // namespace

THPMDialog::THPMDialog(ProgramState& state, Host& host, QWidget* parent)
    : QDialog(parent), state_(state), host_(host), source_(state.images.workImage) {
  setObjectName("dialog32");
  setWindowTitle("Calculate Hot Pixel Map");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Adjust the scroller until you have picked up all the hot pixels", this));
  const int threshold = state.processing.hotPixelThreshold;
  bar_ = MakeScrollBar(this, 32007, kHotPixelThresholdMinimum, kHotPixelThresholdMaximum, threshold);
  bar_->setPageStep(100);
  auto* form = new QFormLayout;
  form->addRow("Hot Pixel Value", bar_);
  threshold_ = ReadOnly(this, 32005);
  found_ = ReadOnly(this, 32003);
  directory_ = ReadOnly(this, 32001);
  name_ = ReadOnly(this, 32002);
  fileName_ = ReadOnly(this, 32004);
  // The new name is typed here and taken by "Change".
  newName_ = new QLineEdit(this);
  newName_->setObjectName("newMapName");
  newName_->setMaxLength(40);
  auto* change = new QPushButton("Change", this);
  change->setObjectName("ctl32006");
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(newName_);
  nameRow->addWidget(change);
  form->addRow("", threshold_);
  form->addRow("Hot Pixels Found", found_);
  form->addRow("Current Directory", directory_);
  form->addRow("New Hot Pixel Map File Name", name_);
  form->addRow("", nameRow);
  form->addRow("", fileName_);
  layout->addLayout(form);
  layout->addWidget(new QLabel("NB:\nEnsure you have loaded a valid Darkframe before creating a Hot Pixel Map.", this));
  auto* buttons = new QHBoxLayout;
  auto* save = new QPushButton("Save Pixel Map", this);
  save->setObjectName("ctl1");
  auto* finished = new QPushButton("Finished", this);
  finished->setObjectName("ctl2");
  buttons->addWidget(save);
  buttons->addWidget(finished);
  layout->addLayout(buttons);

  OnScroll(
      bar_,
      [this](int action) {
        int& t = state_.processing.hotPixelThreshold;
        switch (action) {
          case QAbstractSlider::SliderSingleStepSub:
            t = StepHotPixelThreshold(t, ScrollStep::LineLeft);
            break;
          case QAbstractSlider::SliderSingleStepAdd:
            t = StepHotPixelThreshold(t, ScrollStep::LineRight);
            break;
          case QAbstractSlider::SliderPageStepSub:
            t = StepHotPixelThreshold(t, ScrollStep::PageLeft);
            break;
          case QAbstractSlider::SliderPageStepAdd:
            t = StepHotPixelThreshold(t, ScrollStep::PageRight);
            break;
          case QAbstractSlider::SliderMove:
            t = bar_->sliderPosition();
            break;
          default:
            return;
        }
        scan();
      },
      [this] { return state_.processing.hotPixelThreshold; });
  connect(change, &QPushButton::clicked, this, [this] {
    // A refused name has shown its message; the refresh shows the name in force.
    static_cast<void>(ChangeHotPixelMapName(state_, host_, newName_->text().toStdString()));
    refresh();
  });
  connect(save, &QPushButton::clicked, this, [this] {
    // A map that cannot be written has shown its message; the dialog stays
    // open so the map is not lost.
    if (SaveHotPixelMap(state_, host_, HotPixelMapPath(state_))) accept();
  });
  connect(finished, &QPushButton::clicked, this, &QDialog::reject);
  refresh();
}

void THPMDialog::scan() {
  // A scan that finds too many has shown why and left the map invalid.
  static_cast<void>(FindHotPixels(state_, host_, source_));
  refresh();
}

void THPMDialog::refresh() {
  threshold_->setText(QString::number(state_.processing.hotPixelThreshold));
  found_->setText(QString::number(state_.files.hotPixelCount));
  directory_->setText(QString::fromStdString(state_.settings.derived.autosaveDirectory));
  name_->setText(QString::fromStdString(HotPixelMapName(state_)));
  fileName_->setText(QString::fromStdString(HotPixelMapPath(state_)));
  bar_->setValue(state_.processing.hotPixelThreshold);
}

}  // namespace qv
