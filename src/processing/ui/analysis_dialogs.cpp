#include "processing/ui/analysis_dialogs.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "processing/analysis_views.h"
#include "processing/histogram_view.h"
#include "processing/intensity_plots.h"
#include "processing/photometry.h"
#include "processing/pixel_values.h"

namespace qv {

namespace {

QString Id(int id) { return QString("ctl%1").arg(id); }

QPushButton* Button(QWidget* parent, int id, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(Id(id));
  button->setAutoDefault(false);
  return button;
}

QLineEdit* Field(QWidget* parent, int id) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(Id(id));
  field->setReadOnly(true);
  field->setMaximumWidth(80);
  return field;
}

void ShowHelp(Host& host, const char* caption, const char* text) {
  host.showMessage({caption, text, MessageIcon::Information});
}

const QColor kPlotBackground(255, 255, 255);
const QColor kTrace(0, 0, 160);
const QColor kHighlight(200, 0, 0);
const QColor kRising(200, 0, 0);
const QColor kFalling(0, 0, 160);

constexpr QSize kHistogramArea(392, 272);
constexpr QSize kRowPlotArea(672, 204);
constexpr QSize kPlot3dArea(840, 330);

}  // namespace

PlotCanvas::PlotCanvas(QWidget* parent, const QString& name, QSize size, std::function<void(QPainter&)> paint)
    : QWidget(parent), paint_(std::move(paint)) {
  setObjectName(name);
  setFixedSize(size);
}

void PlotCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paint_(painter);
}

// ---------------------------------------------------------------- histogram

THistogramDialog::THistogramDialog(ProgramState& state, Host& host, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName("dialog5");
  setWindowTitle("Histogram of Current Image");
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  plot_ = new PlotCanvas(this, "histogramPlot", kHistogramArea, [this](QPainter& p) { draw(p); });
  layout->addWidget(plot_);
  auto* buttons = new QHBoxLayout;
  auto* close = Button(this, 101, "Close");
  auto* help = Button(this, 9, "Help");
  buttons->addStretch();
  buttons->addWidget(close);
  buttons->addWidget(help);
  layout->addLayout(buttons);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  connect(help, &QPushButton::clicked, this, [&host] {
    ShowHelp(host, "LumT_3 - Display Histogram",
             "This shows a histogram of the values in the current main window. The horizontal scale represents "
             "values from black (0) to white (256), whilst the vertical scale shows the number of pixels with a "
             "particular value. Bars that reach the top are drawn in red and their counts are listed on the right.");
  });
}

THistogramDialog::~THistogramDialog() {
  if (picture_) picture_->removeEventFilter(this);
  CloseHistogram(state_);
}

void THistogramDialog::followPaintsOf(QWidget* picture) {
  picture_ = picture;
  picture->installEventFilter(this);
}

bool THistogramDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picture_ && event->type() == QEvent::Paint) plot_->update();
  return QDialog::eventFilter(watched, event);
}

void THistogramDialog::draw(QPainter& p) {
  const HistogramPicture picture = BuildHistogramPicture(state_.images.displayHistogram);
  p.fillRect(rect(), palette().window());
  p.setPen(Qt::black);
  p.drawLine(kHistogramAxisX, kHistogramAxisTop, kHistogramAxisX, kHistogramAxisY);
  p.drawLine(kHistogramAxisX, kHistogramAxisY, kHistogramAxisRight, kHistogramAxisY);
  for (const HistogramTick& tick : HistogramTicks()) p.drawLine(tick.x, kHistogramAxisY, tick.x, tick.bottom);
  for (int level = 0; level < 256; ++level) {
    const auto i = static_cast<std::size_t>(level);
    p.setPen(picture.highlighted[i] ? kHighlight : kTrace);
    const int x = level + kHistogramBarOffset;
    p.drawLine(x, kHistogramBarBase, x, kHistogramBarBase - picture.heights[i]);
  }
  p.setPen(Qt::black);
  p.drawText(QRect(QPoint(kHistogramTextLeft, kHistogramTextTop), QPoint(kHistogramTextRight, kHistogramTextBottom)),
             Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(picture.listing));
}

// ---------------------------------------------------------------- photometry

TPhotometryDialog::TPhotometryDialog(ProgramState& state, Host& host, QWidget* parent)
    : QDialog(parent), state_(state) {
  setObjectName("dialog10");
  setWindowTitle("PHOTOMETRY");
  setModal(false);
  auto* layout = new QVBoxLayout(this);

  auto* measure = new QGroupBox("Measure", this);
  auto* measureLayout = new QHBoxLayout(measure);
  const std::pair<int, char> choices[] = {{101, 'o'}, {102, 'c'}, {103, 'b'}};
  const char* choiceTexts[] = {"Object", "Comparison", "Background"};
  for (int i = 0; i < 3; ++i) {
    auto* button = new QRadioButton(choiceTexts[i], measure);
    button->setObjectName(Id(choices[i].first));
    measureLayout->addWidget(button);
    radios_[choices[i].first] = button;
    const char letter = choices[i].second;
    connect(button, &QRadioButton::clicked, this, [this, letter] {
      ChoosePhotometryMeasure(state_.analysis.photometry, letter);
      refresh();
    });
  }
  layout->addWidget(measure);

  auto* sizes = new QGroupBox("Diameter of Mask", this);
  auto* sizesLayout = new QHBoxLayout(sizes);
  for (std::size_t i = 0; i < kPhotometryRadii.size(); ++i) {
    const int r = kPhotometryRadii[i];
    const int id = 114 + static_cast<int>(i);
    auto* button = new QRadioButton(r == 0 ? QString("1 Pixel") : QString("%1 Pixels").arg(2 * r + 1), sizes);
    button->setObjectName(Id(id));
    sizesLayout->addWidget(button);
    radios_[id] = button;
    connect(button, &QRadioButton::clicked, this, [this, r] {
      ChoosePhotometryRadius(state_.analysis.photometry, r);
      refresh();
    });
  }
  layout->addWidget(sizes);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("x", this), 0, 1);
  grid->addWidget(new QLabel("y", this), 0, 2);
  grid->addWidget(new QLabel("Mean", this), 0, 3);
  const char* rows[] = {"Object", "Comparison", "Background"};
  const int ids[3][3] = {{104, 105, 157}, {106, 107, 158}, {108, 109, 159}};
  for (int row = 0; row < 3; ++row) {
    grid->addWidget(new QLabel(rows[row], this), row + 1, 0);
    for (int column = 0; column < 3; ++column) {
      fields_[ids[row][column]] = Field(this, ids[row][column]);
      grid->addWidget(fields_[ids[row][column]], row + 1, column + 1);
    }
  }
  grid->addWidget(new QLabel("Magnitude difference", this), 4, 0, 1, 3);
  fields_[113] = Field(this, 113);
  grid->addWidget(fields_[113], 4, 3);
  grid->addWidget(new QLabel("Pointer x, y, value", this), 5, 0);
  for (int i = 0; i < 3; ++i) {
    fields_[1018 + i] = Field(this, 1018 + i);
    grid->addWidget(fields_[1018 + i], 5, i + 1);
  }
  layout->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  auto* finished = Button(this, 2, "Finished");
  auto* help = Button(this, 9, "Help");
  buttons->addStretch();
  buttons->addWidget(finished);
  buttons->addWidget(help);
  layout->addLayout(buttons);
  connect(finished, &QPushButton::clicked, this, &QWidget::close);
  connect(help, &QPushButton::clicked, this, [&host] {
    ShowHelp(host, "Qel_K8_USB - Control Photometry",
             "Select the value you wish to record when you next press the left mouse button");
  });
  state_.analysis.photometry.changed = [this] { refresh(); };
  refresh();
}

TPhotometryDialog::~TPhotometryDialog() {
  state_.analysis.photometry.changed = nullptr;
  ClosePhotometryView(state_);
}

void TPhotometryDialog::refresh() {
  const PhotometryPicks& picks = state_.analysis.photometry;
  const int choiceId = picks.choice == 'c' ? 102 : picks.choice == 'b' ? 103 : 101;
  radios_[choiceId]->setChecked(true);
  radios_[114 + PhotometryRadiusButton(picks.radius)]->setChecked(true);
  const PhotometryFields f = PhotometryDisplay(picks, state_.display.blackLevel);
  const std::pair<int, const std::string*> shown[] = {
      {104, &f.objectX},      {105, &f.objectY},     {106, &f.comparisonX}, {107, &f.comparisonY},
      {108, &f.backgroundX},  {109, &f.backgroundY}, {157, &f.objectMean},  {158, &f.comparisonMean},
      {159, &f.background},   {113, &f.magnitude},   {1018, &f.pointerX},   {1019, &f.pointerY},
      {1020, &f.pointerValue}};
  for (const auto& [id, text] : shown) fields_[id]->setText(QString::fromStdString(*text));
}

// ---------------------------------------------------------------- row plot

TRowPlotDialog::TRowPlotDialog(ProgramState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName("dialog12");
  setWindowTitle("INTENSITY PROFILE OF ONE ROW");
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel("Row", this));
  row_ = Field(this, 101);
  top->addWidget(row_);
  top->addStretch();
  layout->addLayout(top);
  canvas_ = new PlotCanvas(this, "rowPlot", kRowPlotArea, [this](QPainter& p) { draw(p); });
  layout->addWidget(canvas_);
  state_.analysis.rowPlot.changed = [this] { refresh(); };
  refresh();
}

TRowPlotDialog::~TRowPlotDialog() {
  state_.analysis.rowPlot.changed = nullptr;
  CloseRowPlot(state_);
}

void TRowPlotDialog::refresh() {
  row_->setText(QString::number(RowPlotRow(state_.geometry, state_.analysis.rowPlot.row)));
  canvas_->update();
}

void TRowPlotDialog::draw(QPainter& p) {
  p.fillRect(QRect(QPoint(kRowPlotLeft, kRowPlotTop), QPoint(kRowPlotRight, kRowPlotBottom)), kPlotBackground);
  const auto points = RowPlotPoints(state_.images.workImage, state_.geometry, state_.analysis.rowPlot.row);
  p.setPen(kTrace);
  for (std::size_t i = 1; i < points.size(); ++i) {
    p.drawLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
  }
}

// ---------------------------------------------------------------- 3-D plot

TPlot3dDialog::TPlot3dDialog(ProgramState& state, QWidget* parent)
    : QDialog(parent), state_(state), traces_(Plot3dTraces(state.images.workImage, state.geometry)) {
  setObjectName("dialog11");
  setWindowTitle("3-D Intensity Plot");
  setModal(false);
  plot_ = QPixmap(kPlot3dArea);
  plot_.fill(kPlotBackground);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  canvas_ = new PlotCanvas(this, "plot3d", kPlot3dArea, [this](QPainter& p) { p.drawPixmap(0, 0, plot_); });
  layout->addWidget(canvas_);
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, [this, timer] {
    drawNextTrace();
    if (complete()) timer->stop();
  });
  timer->start(0);
}

TPlot3dDialog::~TPlot3dDialog() { ClosePlot3d(state_); }

void TPlot3dDialog::drawNextTrace() {
  if (complete()) return;
  const Plot3dTrace& trace = traces_[next_++];
  QPainter into(&plot_);
  for (std::size_t i = 1; i < trace.points.size(); ++i) {
    into.setPen(trace.rising[i] ? kRising : kFalling);
    into.drawLine(trace.points[i - 1].x, trace.points[i - 1].y, trace.points[i].x, trace.points[i].y);
  }
  canvas_->update();
}

// ---------------------------------------------------------------- pixel values

TPixelValuesDialog::TPixelValuesDialog(ProgramState& state, Host& host, std::function<void(char)> view, QWidget* parent)
    : QDialog(parent), state_(state), host_(host) {
  setObjectName("dialog28");
  setWindowTitle("Pixel Value");
  setModal(false);
  auto* layout = new QGridLayout(this);
  const char* labels[] = {"x", "y", "R", "G", "B", "Lum"};
  for (int i = 0; i < 6; ++i) {
    layout->addWidget(new QLabel(labels[i], this), i, 0);
    fields_[1801 + i] = Field(this, 1801 + i);
    layout->addWidget(fields_[1801 + i], i, 1);
  }
  auto* display = new QGroupBox("Display", this);
  auto* displayLayout = new QVBoxLayout(display);
  const std::pair<int, char> channels[] = {{1808, 'R'}, {1809, 'G'}, {1810, 'B'}, {1811, 'L'}, {1812, 'N'}};
  const char* texts[] = {"Red", "Green", "Blue", "Lumens", "Normal"};
  for (int i = 0; i < 5; ++i) {
    auto* button = Button(display, channels[i].first, texts[i]);
    displayLayout->addWidget(button);
    const char letter = channels[i].second;
    connect(button, &QPushButton::clicked, this, [view, letter] { view(letter); });
  }
  layout->addWidget(display, 0, 2, 6, 1);
  auto* finished = Button(this, 1807, "Finished");
  layout->addWidget(finished, 6, 2);
  connect(finished, &QPushButton::clicked, this, &QWidget::close);
  // Finishing (the button or the window's close box) shows the full-colour
  // picture again.
  connect(this, &QDialog::finished, this, [this] { ClosePixelValues(state_, host_); });
  state_.analysis.values.changed = [this] { refresh(); };
  refresh();
}

TPixelValuesDialog::~TPixelValuesDialog() {
  state_.analysis.values.changed = nullptr;
  state_.analysis.values.open = false;
}

void TPixelValuesDialog::refresh() {
  const PixelValues& v = state_.analysis.values.values;
  fields_[1801]->setText(QString::number(v.x));
  fields_[1802]->setText(QString::number(v.y));
  fields_[1803]->setText(QString::number(v.red));
  fields_[1804]->setText(QString::number(v.green));
  fields_[1805]->setText(QString::number(v.blue));
  fields_[1806]->setText(QString::fromStdString(LuminanceText(v)));
}

}  // namespace qv
