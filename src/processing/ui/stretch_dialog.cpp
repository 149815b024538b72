#include "processing/ui/stretch_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "processing/ui/dialog_controls.h"

namespace qv {

namespace {

constexpr char kHelpCaption[] = "Qel_K8_USB - Normal Stretch";
constexpr char kHelpText[] =
    "Use controls to vary intensity from 0 to 255, where the lowest value will be shown as black and the highest "
    "by white. \n\nIf you type values into the black or white boxes you must press the set white or black button "
    "to activate.\n\n It is possible to darken the image overall by increasing the white level to 300.";

// Axes of the histogram drawing: origin at (5, 213), 208 pixels high, 258 wide.
constexpr int kLeft = 5, kTop = 5, kBase = 213, kRight = 263;

}  // namespace

StretchHistogramView::StretchHistogramView(const std::array<std::uint32_t, ImageStore::kHistogramBins>& histogram,
                                           const NormalStretchLevels& levels, QWidget* parent)
    : QWidget(parent), histogram_(histogram), levels_(levels) {
  setMinimumSize(sizeHint());
}

void StretchHistogramView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(Qt::black);
  painter.drawLine(kLeft, kTop, kLeft, kBase);
  painter.drawLine(kLeft, kBase, kRight, kBase);
  for (int x = 40; x <= kRight; x += 32) painter.drawLine(x, kBase, x, kBase + 4);
  const std::uint32_t peak =
      std::max<std::uint32_t>(1, *std::max_element(histogram_.begin(), histogram_.begin() + 256));
  painter.setPen(Qt::darkBlue);
  for (int level = 0; level < 256; ++level) {
    const int height = static_cast<int>(static_cast<double>(histogram_[level]) / peak * (kBase - kTop));
    if (height > 0) painter.drawLine(kLeft + 1 + level, kBase - 1, kLeft + 1 + level, kBase - height);
  }
  // Level strip: grey between the marks, black and white marks at their levels.
  const int strip = kBase + 8;
  const int black = kLeft + 1 + levels_.black;
  const int white = kLeft + 1 + std::min(levels_.white, 255);
  painter.fillRect(QRect(black, strip, std::max(white - black, 1), 12), Qt::lightGray);
  painter.fillRect(QRect(black - 1, strip, 3, 12), Qt::black);
  painter.setPen(Qt::black);
  painter.setBrush(Qt::white);
  painter.drawRect(QRect(white - 1, strip, 3, 12));
}

TStretchDialog::TStretchDialog(const std::array<std::uint32_t, ImageStore::kHistogramBins>& histogram, Host& host,
                               NormalStretchLevels initial, QWidget* parent)
    : QDialog(parent), levels_(initial) {
  setObjectName("dialog3");
  setWindowTitle("Normal Stretch");
  auto* layout = new QVBoxLayout(this);
  view_ = new StretchHistogramView(histogram, levels_, this);
  layout->addWidget(view_);
  auto* grid = new QGridLayout;
  black_ = MakeScrollBar(this, 102, 0, 255, levels_.black);
  blackEdit_ = MakeEdit(this, 101, QString::number(levels_.black));
  white_ = MakeScrollBar(this, 103, 1, 300, levels_.white);
  whiteEdit_ = MakeEdit(this, 104, QString::number(levels_.white));
  grid->addWidget(new QLabel("Black", this), 0, 0);
  grid->addWidget(black_, 0, 1);
  grid->addWidget(blackEdit_, 0, 2);
  grid->addWidget(new QLabel("White", this), 1, 0);
  grid->addWidget(white_, 1, 1);
  grid->addWidget(whiteEdit_, 1, 2);
  layout->addLayout(grid);
  AddDialogButtons(this, layout, host, kHelpCaption, kHelpText);

  OnScroll(
      black_,
      [this](int action) {
        switch (action) {
          case QAbstractSlider::SliderSingleStepAdd:
            levels_.blackLineUp();
            break;
          case QAbstractSlider::SliderSingleStepSub:
            levels_.blackLineDown();
            break;
          case QAbstractSlider::SliderPageStepSub:
            levels_.blackPageDown();
            break;
          case QAbstractSlider::SliderMove:
            levels_.blackThumb(black_->sliderPosition());
            break;
          default:
            break;
        }
        showLevels();
      },
      [this] { return levels_.black; });
  OnScroll(
      white_,
      [this](int action) {
        switch (action) {
          case QAbstractSlider::SliderSingleStepAdd:
            levels_.whiteLineUp();
            break;
          case QAbstractSlider::SliderSingleStepSub:
            levels_.whiteLineDown();
            break;
          case QAbstractSlider::SliderPageStepSub:
            levels_.whitePageDown();
            break;
          case QAbstractSlider::SliderMove:
            levels_.whiteThumb(white_->sliderPosition());
            break;
          default:
            break;
        }
        showLevels();
      },
      [this] { return levels_.white; });
}

void TStretchDialog::showLevels() {
  blackEdit_->setText(QString::number(levels_.black));
  whiteEdit_->setText(QString::number(levels_.white));
  view_->update();
}

}  // namespace qv
