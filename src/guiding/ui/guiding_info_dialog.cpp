#include "guiding/ui/guiding_info_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/control_name.h"
#include "guiding/guiding_info_fields.h"
#include "guiding/ui/guider_frame_view.h"

namespace qv {

namespace {

QLineEdit* Field(int id, QWidget* parent) {
  auto* edit = Named(new QLineEdit(parent), id);
  edit->setReadOnly(true);
  edit->setMaximumWidth(90);
  return edit;
}

}  // namespace

TGInfoDialog::TGInfoDialog(const ProgramState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName("TGInfoDialog");
  setWindowTitle(QString::fromUtf8(kGuiderGuidingCaption.data(), static_cast<int>(kGuiderGuidingCaption.size())));
  setModal(false);
  auto* column = new QVBoxLayout(this);
  frame_ = new GuiderFrameView(state, true, this);
  column->addWidget(frame_);
  auto* scale = new QLabel(QString::fromUtf8(kPlotScaleText.data(), static_cast<int>(kPlotScaleText.size())), this);
  scale->setObjectName("plotScale");
  column->addWidget(scale, 0, Qt::AlignRight);
  auto* grid = new QGridLayout;
  column->addLayout(grid);
  static constexpr std::pair<int, const char*> kFields[] = {
      {918, "Star x"},           {919, "Star y"},           {920, "Error x (px)"}, {921, "Error y (px)"},
      {922, "Slew time x axis"}, {923, "Slew time y axis"}, {925, "x pos"},        {926, "y pos"},
      {927, "moving mount"}};
  int i = 0;
  for (const auto& [id, caption] : kFields) {
    fields_[id] = Field(id, this);
    grid->addWidget(new QLabel(caption, this), i / 3, (i % 3) * 2);
    grid->addWidget(fields_[id], i / 3, (i % 3) * 2 + 1);
    ++i;
  }
  rms_ = new QLabel(this);
  rms_->setObjectName("rms");
  grid->addWidget(rms_, 3, 0, 1, 4);
  auto* stop = new QPushButton("Stop Guiding", this);
  stop->setObjectName("ctl924");
  grid->addWidget(stop, 3, 5);
  connect(stop, &QPushButton::clicked, this, [this] {
    if (onStop) onStop();
  });
  refresh({}, 0, "", std::nullopt);
}

void TGInfoDialog::refresh(const std::vector<GuideFrameRecord>& frames, std::uint32_t nowMs, const std::string& stage,
                           std::optional<StarPosition> reference) {
  for (const auto& [id, text] : GuiderGuidingFields(state_, frames, nowMs)) {
    if (auto it = fields_.find(id); it != fields_.end()) it->second->setText(QString::fromStdString(text));
  }
  rms_->setText(QString::fromStdString(RmsText(frames)));
  if (!stage.empty()) setWindowTitle(QString::fromStdString(stage));
  frame_->setReference(reference);
  frame_->update();
}

TInfoDialog::TInfoDialog(const ProgramState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName("TInfoDialog");
  setWindowTitle("Guiding Info");
  setModal(false);
  auto* grid = new QGridLayout(this);
  static constexpr std::pair<int, const char*> kFields[] = {
      {101, "Star x"}, {102, "Star y"}, {103, "Error x"}, {104, "Error y"}};
  int row = 0;
  for (const auto& [id, caption] : kFields) {
    fields_[id] = Field(id, this);
    grid->addWidget(new QLabel(caption, this), row, 0);
    grid->addWidget(fields_[id], row++, 1);
  }
  auto* stop = new QPushButton("Stop", this);
  stop->setObjectName("ctl2");
  grid->addWidget(stop, row, 0, 1, 2);
  connect(stop, &QPushButton::clicked, this, [this] {
    if (onStop) onStop();
  });
  refresh();
}

void TInfoDialog::refresh() {
  for (const auto& [id, text] : MainGuidingFields(state_)) fields_[id]->setText(QString::fromStdString(text));
}

}  // namespace qv
