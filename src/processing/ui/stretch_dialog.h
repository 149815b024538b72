#pragma once
// "Normal Stretch": black and white levels over the image's display
// histogram.

#include <QDialog>
#include <array>
#include <cstdint>

#include "app/host.h"
#include "app/image_store.h"
#include "processing/dialog_steps.h"

class QLineEdit;
class QScrollBar;

namespace qv {

// Draws the display histogram and the level strip with the black and white
// marks.
class StretchHistogramView : public QWidget {
  Q_OBJECT
 public:
  StretchHistogramView(const std::array<std::uint32_t, ImageStore::kHistogramBins>& histogram,
                       const NormalStretchLevels& levels, QWidget* parent);
  QSize sizeHint() const override { return {270, 240}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const std::array<std::uint32_t, ImageStore::kHistogramBins>& histogram_;
  const NormalStretchLevels& levels_;
};

class TStretchDialog : public QDialog {
  Q_OBJECT
 public:
  TStretchDialog(const std::array<std::uint32_t, ImageStore::kHistogramBins>& histogram, Host& host,
                 NormalStretchLevels initial, QWidget* parent = nullptr);

  const NormalStretchLevels& levels() const { return levels_; }

 private:
  void showLevels();

  NormalStretchLevels levels_;
  QScrollBar* black_;
  QScrollBar* white_;
  QLineEdit* blackEdit_;
  QLineEdit* whiteEdit_;
  StretchHistogramView* view_;
};

}  // namespace qv
