#include "colour/ui/colour_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/control_name.h"
#include "app/ui/dialog_buttons.h"
#include "colour/balance_picture.h"
#include "colour/colour_filters.h"
#include "processing/ui/dialog_controls.h"

namespace qv {

namespace {

constexpr int kUserPowerLow = 2, kUserPowerHigh = 29;
constexpr int kUnsharpRadiusLow = 2, kUnsharpRadiusHigh = 6;
constexpr int kUnsharpPowerLow = 1, kUnsharpPowerHigh = 6;

QCheckBox* Check(QWidget* parent, int id, const char* text, bool& flag) {
  auto* box = Named(new QCheckBox(text, parent), id);
  box->setChecked(flag);
  QObject::connect(box, &QCheckBox::toggled, parent, [&flag](bool on) { flag = on; });
  return box;
}

QRadioButton* Radio(QWidget* parent, int id, const char* text) {
  auto* button = Named(new QRadioButton(text, parent), id);
  return button;
}

void AddButtons(QDialog* dialog, QBoxLayout* layout, Host& host, const char* okText, const char* caption,
                const char* help, std::function<void()> onOk = {}) {
  DialogButtons buttons;
  buttons.ok = okText;
  const std::string c = caption, t = help;
  buttons.onHelp = [&host, c, t] { host.showMessage({c, t, MessageIcon::None, -1}); };
  if (onOk) buttons.onOk = std::move(onOk);
  layout->addLayout(MakeDialogButtonRow(dialog, buttons).layout);
}

const QColor kHistogramPens[3] = {Qt::red, Qt::darkGreen, Qt::blue};
const QColor kClipPen(255, 150, 0);

// The three histograms (as they were when the dialog opened) and the marker
// band of the values as they stand, drawn from the core's picture.
class BalanceView : public QWidget {
 public:
  BalanceView(const ColourState& colour, const std::array<ColourBalance, 3>& values, QWidget* parent)
      : QWidget(parent), colour_(colour), values_(values) {
    setObjectName("balancePlot");
    setFixedSize(kBalanceBandRight + 4, kBalanceBandBottom + 4);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const BalancePicture picture = BuildBalancePicture(colour_, values_);
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (int h = 0; h < 3; ++h) {
      for (int i = 0; i < kColourHistogramBins; ++i) {
        const BalanceBar bar = picture.bars[h][i];
        if (bar.height == 0) continue;
        const int x = kBalanceHistogramLeft[h] + i;
        painter.setPen(bar.clipped ? kClipPen : kHistogramPens[h]);
        painter.drawLine(x, kBalanceBarBase, x, kBalanceBarBase - bar.height);
      }
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(QPoint(kBalanceBandLeft, kBalanceBandTop), QPoint(kBalanceBandRight, kBalanceBandBottom)));
    for (const BalanceMarker& m : picture.markers) {
      painter.setPen(kHistogramPens[m.histogram]);
      // A minimum points down from the band's top, a maximum up from its foot.
      const int tip = (kBalanceBandTop + kBalanceBandBottom) / 2;
      painter.drawLine(m.x, m.maximum ? kBalanceBandBottom - 1 : kBalanceBandTop + 1, m.x, tip);
    }
  }

 private:
  const ColourState colour_;
  const std::array<ColourBalance, 3>& values_;
};

}  // namespace

TColourDialog::TColourDialog(ProgramSettings& settings, ColourState& colour, Host& host, QWidget* parent)
    : QDialog(parent), settings_(settings), host_(host) {
  setObjectName("dialog26");
  setWindowTitle("SYNTHESIZE COLOUR IMAGE");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Check(this, 2604, "Daylight Image?", colour.daylightImage));
  layout->addWidget(Check(this, 2605, "Light Pollution Correction", colour.lightPollutionCorrection));
  layout->addWidget(Check(this, 2606, "Colour Smoothing Filter", settings.colourSmoothing));
  layout->addWidget(Check(this, 2607, "Apply Anti-Alias", settings.autoAntiAlias));
  layout->addWidget(Check(this, 2608, "IR Filter Used?", settings.irFilterUsed));

  auto* group = new QButtonGroup(this);
  QRadioButton* none = Radio(this, 2611, "No Auto Stretch");
  QRadioButton* weak = Radio(this, 2612, "Apply Weak Stretch");
  QRadioButton* strong = Radio(this, 2613, "Apply Strong Stretch");
  QRadioButton* user = Radio(this, 2614, "Auto Stretch - User");
  auto* userRow = new QHBoxLayout;
  power_ = MakeEdit(this, 2631, "");
  for (QRadioButton* b : {none, weak, strong}) {
    group->addButton(b);
    layout->addWidget(b);
  }
  group->addButton(user);
  userRow->addWidget(user);
  userRow->addWidget(power_);
  layout->addLayout(userRow);
  // The stored choice: weak, else strong, else user, else none.
  (settings.autoWeakStretch     ? weak
   : settings.autoStrongStretch ? strong
   : settings.autoUserStretch   ? user
                                : none)
      ->setChecked(true);
  auto choose = [this](bool w, bool s, bool u) {
    settings_.autoWeakStretch = w;
    settings_.autoStrongStretch = s;
    settings_.autoUserStretch = u;
  };
  connect(none, &QRadioButton::clicked, this, [choose] { choose(false, false, false); });
  connect(weak, &QRadioButton::clicked, this, [choose] { choose(true, false, false); });
  connect(strong, &QRadioButton::clicked, this, [choose] { choose(false, true, false); });
  connect(user, &QRadioButton::clicked, this, [choose] { choose(false, false, true); });

  layout->addWidget(Check(this, 2603, "Remove Background", settings.autoRemoveBackground));
  layout->addWidget(Check(this, 2601, "High Pass Low Power", settings.autoHighPassLowPower));
  auto* unsharpRow = new QHBoxLayout;
  unsharpRow->addWidget(Check(this, 2602, "Unsharp Mask", settings.autoUnsharpMask));
  radius_ = MakeEdit(this, 2632, "");
  unsharpPower_ = MakeEdit(this, 2633, "");
  unsharpRow->addWidget(new QLabel("dia.", this));
  unsharpRow->addWidget(radius_);
  unsharpRow->addWidget(new QLabel("power", this));
  unsharpRow->addWidget(unsharpPower_);
  layout->addLayout(unsharpRow);
  auto* note =
      new QLabel("Nb: You can only convert to colour if the values of all three selection boxes are valid", this);
  note->setWordWrap(true);
  layout->addWidget(note);
  showStored();
  AddButtons(this, layout, host, "Create Image", "CorvT2C - Synthesize Colour",
             "Select Light Pollution correction for most astro shots\n\nIf you want instantaneous colour images "
             "select the anti-alias and one of the stretch values. You can also select a high pass or Unsharp mask "
             "filter.\n\nFor more control apply all image processing later.",
             [this] { createImage(); });
}

// Painting only shows the stored values; reading and checking happen on
// Create Image alone.
void TColourDialog::showStored() {
  power_->setText(QString::number(settings_.autoUserStretchLevel));
  radius_->setText(QString::number(settings_.unsharpRadius));
  unsharpPower_->setText(QString::number(settings_.unsharpPower));
}

void TColourDialog::createImage() {
  auto take = [](QLineEdit* edit, int low, int high, std::int16_t& stored) {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    if (!ok || value < low || value > high) return false;
    stored = static_cast<std::int16_t>(value);
    return true;
  };
  const bool power = take(power_, kUserPowerLow, kUserPowerHigh, settings_.autoUserStretchLevel);
  const bool radius = take(radius_, kUnsharpRadiusLow, kUnsharpRadiusHigh, settings_.unsharpRadius);
  const bool unsharp = take(unsharpPower_, kUnsharpPowerLow, kUnsharpPowerHigh, settings_.unsharpPower);
  showStored();
  if (power && radius && unsharp) {
    accept();
  } else {
    host_.beep();
  }
}

TMonoImageDialog::TMonoImageDialog(int choice, Host& host, QWidget* parent) : QDialog(parent), choice_(choice) {
  setObjectName("dialog31");
  setWindowTitle("Construct Single Filter Image");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto* group = new QButtonGroup(this);
  const char* labels[] = {"R", "G", "G", "B"};
  for (int k = 1; k <= 4; ++k) {
    QRadioButton* button = Radio(this, 3100 + k, labels[k - 1]);
    group->addButton(button);
    grid->addWidget(button, (k - 1) / 2, (k - 1) % 2);
    button->setChecked(k == choice);
    connect(button, &QRadioButton::clicked, this, [this, k] { choice_ = k; });
  }
  layout->addLayout(grid);
  AddButtons(this, layout, host, "Build Image", "QelK1C - Create Mono Image",
             "Select the filter from the matrix that you want to base the image on.\n\nThe rest will be overwritten "
             "with averages from adjacent similar filters\n\nThis option is used to extract mono data when Halpha "
             "filter has been used");
}

TBalanceDialog::TBalanceDialog(const ColourState& colour, int saturation, Host& host, QWidget* parent)
    : QDialog(parent), values_(colour.balance) {
  setObjectName("dialog27");
  setWindowTitle("Colour Starting Balance");
  auto* layout = new QVBoxLayout(this);
  auto* picture = new BalanceView(colour, values_, this);
  layout->addWidget(picture);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Red", this), 0, 1);
  grid->addWidget(new QLabel("Green", this), 0, 3);
  grid->addWidget(new QLabel("Blue", this), 0, 5);
  grid->addWidget(new QLabel("Start", this), 1, 0);
  grid->addWidget(new QLabel("Min", this), 2, 0);
  grid->addWidget(new QLabel("Max", this), 3, 0);
  // Columns red, green, blue; control ids per row in that order.
  struct Column {
    int plane, start, startEdit, minimum, minimumEdit, maximum, maximumEdit;
  };
  const Column columns[] = {
      {0, 114, 118, 101, 104, 107, 111}, {2, 115, 119, 102, 105, 109, 112}, {1, 116, 120, 103, 106, 110, 113}};
  for (int k = 0; k < 3; ++k) {
    const Column c = columns[k];
    ColourBalance& v = values_[c.plane];
    auto add = [&](int row, int barId, int editId, int low, int high, int ColourBalance::*field) {
      QScrollBar* bar = MakeScrollBar(this, barId, low, high, v.*field);
      bar->setMinimumWidth(100);
      QLineEdit* edit = MakeEdit(this, editId, QString::number(v.*field));
      edit->setReadOnly(true);
      grid->addWidget(bar, row, 1 + 2 * k);
      grid->addWidget(edit, row, 2 + 2 * k);
      connect(bar, &QScrollBar::valueChanged, this, [this, bar, edit, field, picture, plane = c.plane](int value) {
        ColourBalance& b = values_[plane];
        // A minimum never reaches its maximum.
        if (field == &ColourBalance::minimum) value = std::min(value, b.maximum - 1);
        if (field == &ColourBalance::maximum) value = std::max(value, b.minimum + 1);
        b.*field = value;
        if (bar->value() != value) bar->setValue(value);
        edit->setText(QString::number(value));
        picture->update();
      });
    };
    add(1, c.start, c.startEdit, -10, 100, &ColourBalance::start);
    add(2, c.minimum, c.minimumEdit, -10, 254, &ColourBalance::minimum);
    add(3, c.maximum, c.maximumEdit, 1, 255, &ColourBalance::maximum);
  }
  layout->addLayout(grid);
  auto* saturationRow = new QHBoxLayout;
  saturationRow->addWidget(new QLabel("Saturation", this));
  saturation_ = new QSpinBox(this);
  saturation_->setObjectName("ctl108");
  saturation_->setRange(1, 9);
  saturation_->setValue(std::clamp(saturation, 1, 9));
  saturationRow->addWidget(saturation_);
  layout->addLayout(saturationRow);
  AddButtons(this, layout, host, "Apply", "LUMCOLT3 - Balance Colours",
             "Use controls to vary the starting value for each colour. You may increase the intensity of a colour by "
             "making the starting value negative.");
}

int TBalanceDialog::saturation() const { return saturation_->value(); }

TChromaticDialog::TChromaticDialog(Host& host, QWidget* parent) : QDialog(parent) {
  setObjectName("dialog29");
  setWindowTitle("CHROMATIC ADJUSTMENT");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  struct Shift {
    int id, editId;
    const char* label;
    int ChromatismShifts::*field;
    bool vertical;
  };
  const Shift shifts[] = {{151, 29156, "Red Left / Right", &ChromatismShifts::redX, false},
                          {119, 29158, "Red Up / Down", &ChromatismShifts::redY, true},
                          {2912, 29157, "Blue Left / Right", &ChromatismShifts::blueX, false},
                          {102, 29159, "Blue Up / Down", &ChromatismShifts::blueY, true}};
  int row = 0;
  for (const Shift& s : shifts) {
    auto* edit = MakeEdit(this, s.editId, "0");
    edit->setReadOnly(true);
    auto* back = new QToolButton(this);
    auto* forward = new QToolButton(this);
    back->setObjectName(QString("ctl%1back").arg(s.id));
    Named(forward, s.id);
    back->setArrowType(s.vertical ? Qt::UpArrow : Qt::LeftArrow);
    forward->setArrowType(s.vertical ? Qt::DownArrow : Qt::RightArrow);
    // Right adds one to a horizontal shift; down takes one from a vertical.
    auto step = [this, edit, field = s.field](int by) {
      shifts_.*field = std::clamp(shifts_.*field + by, -kChromatismLimit, kChromatismLimit);
      edit->setText(QString::number(shifts_.*field));
    };
    const int forwardStep = s.vertical ? -1 : 1;
    connect(forward, &QToolButton::clicked, this, [step, forwardStep] { step(forwardStep); });
    connect(back, &QToolButton::clicked, this, [step, forwardStep] { step(-forwardStep); });
    grid->addWidget(new QLabel(s.label, this), row, 0);
    grid->addWidget(back, row, 1);
    grid->addWidget(forward, row, 2);
    grid->addWidget(edit, row, 3);
    ++row;
  }
  layout->addLayout(grid);
  AddButtons(this, layout, host, "OK", "QelK1C - Adjust Chromatism",
             "If you see chromatic fringes in your image you can attempt to remove them by adjusting the red and blue "
             "data sets relative to the green.");
}

}  // namespace qv
