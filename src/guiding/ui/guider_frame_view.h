#pragma once
// The guider frame as both guider dialogs draw it: the rendered picture at
// (offset + 10, 45), a cross on the selected star while no frame runs, and,
// in the guiding dialog, the star-movement plot beside it. Only paints what
// the core worked out; clicks and pointer moves are handed to the owner.

#include <QWidget>
#include <functional>
#include <optional>

class QPainter;

#include "app/program_state.h"

namespace qv {

inline constexpr int kFrameTop = 45;

class GuiderFrameView final : public QWidget {
 public:
  GuiderFrameView(const ProgramState& state, bool withPlot, QWidget* parent);

  // Frame pixel under the pointer, and a click on the frame.
  std::function<void(int x, int y)> onPointer;
  std::function<void(int x, int y)> onClick;

  // While guiding: the reference star, marked with a gapped cross.
  void setReference(std::optional<StarPosition> reference) { reference_ = reference; }
  // Frames are being taken: no selection cross.
  void setFramesRunning(bool running) { framesRunning_ = running; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int frameLeft() const;
  std::optional<QPoint> framePixel(const QPoint& at) const;
  void paintPlot(QPainter& p) const;

  const ProgramState& state_;
  bool withPlot_;
  bool framesRunning_ = false;
  std::optional<StarPosition> reference_;
};

}  // namespace qv
