#include "guiding/ui/guider_frame_view.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "app/image_store.h"
#include "camera/camera_commands.h"
#include "guiding/guider_dialog_fields.h"
#include "guiding/guiding_info_fields.h"

namespace qv {

namespace {
constexpr int kSelectionArm = 20;
constexpr int kReferenceArm = 15;
constexpr int kReferenceGap = 5;
constexpr int kTickLength = 3;
}  // namespace

GuiderFrameView::GuiderFrameView(const ProgramState& state, bool withPlot, QWidget* parent)
    : QWidget(parent), state_(state), withPlot_(withPlot) {
  setObjectName("guiderFrame");
  setMouseTracking(true);
  // Room for the standard sensor's frame, the widest; a narrower one is drawn further in.
  const int width = withPlot ? kPlotLeft + kPlotSide + 12 : GuiderFrameLeft({}) + ImageStore::kGuideColumns + 10;
  setFixedSize(width, kFrameTop + ImageStore::kGuideRows + 10);
}

int GuiderFrameView::frameLeft() const { return GuiderFrameLeft(state_.settings); }

std::optional<QPoint> GuiderFrameView::framePixel(const QPoint& at) const {
  const int width = GuiderColumns(state_.settings);
  const int x = at.x() - frameLeft(), y = at.y() - kFrameTop;
  if (x < 0 || y < 0 || x >= width || y >= ImageStore::kGuideRows) return std::nullopt;
  return QPoint(x, y);
}

void GuiderFrameView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  const GuiderDialogState& d = state_.guiding.guiderDialog;
  const GuidingState& g = state_.guiding;
  if (!d.picture.empty() && d.pictureWidth > 0) {
    const QImage image(d.picture.data(), d.pictureWidth, ImageStore::kGuideRows, d.pictureWidth,
                       QImage::Format_Grayscale8);
    p.drawImage(frameLeft(), kFrameTop, image);
  } else {
    p.setPen(Qt::darkGray);
    p.drawRect(frameLeft(), kFrameTop, GuiderColumns(state_.settings) - 1, ImageStore::kGuideRows - 1);
  }
  if (g.guiderStarChosen && !framesRunning_ && !reference_) {
    const QPoint c(frameLeft() + g.guiderStar.x, kFrameTop + g.guiderStar.y);
    p.setPen(QPen(Qt::red, 1));
    p.drawLine(c.x() - kSelectionArm, c.y(), c.x() + kSelectionArm, c.y());
    p.drawLine(c.x(), c.y() - kSelectionArm, c.x(), c.y() + kSelectionArm);
  }
  if (reference_) {
    const QPoint c(frameLeft() + reference_->x, kFrameTop + reference_->y);
    p.setPen(QPen(Qt::green, 1));
    for (const int s : {-1, 1}) {
      p.drawLine(c.x() + s * kReferenceGap, c.y(), c.x() + s * kReferenceArm, c.y());
      p.drawLine(c.x(), c.y() + s * kReferenceGap, c.x(), c.y() + s * kReferenceArm);
    }
  }
  if (withPlot_) paintPlot(p);
}

void GuiderFrameView::paintPlot(QPainter& p) const {
  p.fillRect(kPlotLeft, kPlotTop, kPlotSide, kPlotSide, QColor(20, 30, 60));
  const QPoint c(kPlotCentre.x, kPlotCentre.y);
  p.setPen(QPen(QColor(150, 150, 150), 1));
  p.drawLine(c.x() - kPlotAxisReach, c.y(), c.x() + kPlotAxisReach, c.y());
  p.drawLine(c.x(), c.y() - kPlotAxisReach, c.x(), c.y() + kPlotAxisReach);
  for (const int d : PlotTickOffsets()) {
    p.drawLine(c.x() + d, c.y() - kTickLength, c.x() + d, c.y() + kTickLength);
    p.drawLine(c.x() - kTickLength, c.y() + d, c.x() + kTickLength, c.y() + d);
  }
  if (const auto m = DriftMarker(state_.guiding.columnError, state_.guiding.rowError)) {
    p.setPen(QPen(Qt::yellow, 1));
    p.drawLine(m->x - kMarkerArm, m->y, m->x + kMarkerArm, m->y);
    p.drawLine(m->x, m->y - kMarkerArm, m->x, m->y + kMarkerArm);
  }
}

void GuiderFrameView::mouseMoveEvent(QMouseEvent* event) {
  if (const auto at = framePixel(event->position().toPoint()); at && onPointer) onPointer(at->x(), at->y());
}

void GuiderFrameView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (const auto at = framePixel(event->position().toPoint()); at && onClick) onClick(at->x(), at->y());
}

}  // namespace qv
