#pragma once
// The modeless analysis dialogs: the histogram (dialog 5), photometry (10),
// the 3-D plot (11), the row plot (12) and the pixel values (28). Each shows
// what the core computes; the plots are drawn at the dialogs' coordinates.

#include <QDialog>
#include <QPixmap>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

#include "app/host.h"
#include "app/program_state.h"
#include "processing/intensity_plots.h"

class QLineEdit;
class QRadioButton;

namespace qv {

// Each dialog deletes itself when closed; closing it ends its view in the
// core (the open flag or mouse mode).

// A fixed-size area painted by a function.
class PlotCanvas : public QWidget {
  Q_OBJECT
 public:
  PlotCanvas(QWidget* parent, const QString& name, QSize size, std::function<void(QPainter&)> paint);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<void(QPainter&)> paint_;
};

class THistogramDialog : public QDialog {
  Q_OBJECT
 public:
  THistogramDialog(ProgramState& state, Host& host, QWidget* parent = nullptr);
  ~THistogramDialog() override;
  // The counts change with every paint of `picture` (the main window's
  // image): the histogram is drawn again after each.
  void followPaintsOf(QWidget* picture);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void draw(QPainter& painter);
  ProgramState& state_;
  QWidget* plot_;
  QPointer<QWidget> picture_;
};

class TPhotometryDialog : public QDialog {
  Q_OBJECT
 public:
  TPhotometryDialog(ProgramState& state, Host& host, QWidget* parent = nullptr);
  ~TPhotometryDialog() override;
  // Shows the picks, the means and the magnitude.
  void refresh();

 private:
  ProgramState& state_;
  std::map<int, QRadioButton*> radios_;
  std::map<int, QLineEdit*> fields_;
};

class TRowPlotDialog : public QDialog {
  Q_OBJECT
 public:
  TRowPlotDialog(ProgramState& state, QWidget* parent = nullptr);
  ~TRowPlotDialog() override;
  void refresh();

 private:
  void draw(QPainter& painter);
  ProgramState& state_;
  QLineEdit* row_;
  QWidget* canvas_;
};

class TPlot3dDialog : public QDialog {
  Q_OBJECT
 public:
  TPlot3dDialog(ProgramState& state, QWidget* parent = nullptr);
  ~TPlot3dDialog() override;
  // True once every trace is in the picture.
  bool complete() const { return next_ >= traces_.size(); }

 private:
  // Adds the next trace to the picture and shows it, so the plot builds up
  // trace by trace while the window stays usable.
  void drawNextTrace();

  ProgramState& state_;
  std::vector<Plot3dTrace> traces_;  // taken from the image when the dialog opens
  std::size_t next_ = 0;
  QPixmap plot_;  // the picture so far, copied on every paint
  QWidget* canvas_;
};

class TPixelValuesDialog : public QDialog {
  Q_OBJECT
 public:
  // `view` is called with a channel letter when a "Display" button is pressed.
  TPixelValuesDialog(ProgramState& state, Host& host, std::function<void(char)> view, QWidget* parent = nullptr);
  ~TPixelValuesDialog() override;
  void refresh();

 private:
  ProgramState& state_;
  Host& host_;
  std::map<int, QLineEdit*> fields_;
};

}  // namespace qv
