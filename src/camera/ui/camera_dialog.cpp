#include "camera/ui/camera_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "app/messages.h"
#include "app/ui/control_name.h"
#include "app/ui/operation_runner.h"
#include "app/ui/qt_host.h"
#include "camera/camera_commands.h"
#include "camera/camera_dialog_fields.h"
#include "camera/exposure_run.h"
#include "camera/filter_cooler.h"
#include "camera/focus_loop.h"

namespace qv {

namespace {

constexpr const char* kHelpCaption = "Qel_K8_USB - Control Tarn Camera";
constexpr const char* kHelpText =
    "Select exposure range using Radio buttons on left of dialog Window \nSelect anti-smear status using "
    "checkbox\nVary exposure time using scroll arrows,and take exposure by pressing the 'Take Photo' button\n\nThe "
    "Focus mode allows repeated exposures of 0.01 to 10 seconds to be made, and displays the value of the most "
    "saturated pixel. In a starfield, altering the focus until the maximum value is returned will give a good "
    "indication of best focus.\n\nIt is posssible to use an 'slew and sum' mode, which will automatically sum images "
    "together, taking into account small amounts of drift in the telescope drive. To do this simply change the "
    "number of exposures from 1 to any value less than 100.\n\nPress Right Hand mouse button anywhere in Qel_K8_USB "
    "Window to pematurely terminate an exposure.\n\nThe delay option gives an audible 10 second countdown to the "
    "exposure start\n\nIf multiple is used to control Continuous mode Slew&Sum is disabled";
constexpr char kRangeLetters[5] = {'q', 'h', 't', 's', 'm'};
constexpr int kCountArrowsTop = 99;  // the arrows' range; the count itself goes on to 9999
constexpr const char* kModeCaptions[5] = {"High Resolution", "Binned 2x2", "Binned 3x3", "Binned 4x4",
                                          "User Defined SubFrame"};

QLineEdit* Field(int id, QWidget* parent, bool readOnly = true) {
  auto* edit = Named(new QLineEdit(parent), id);
  edit->setReadOnly(readOnly);
  return edit;
}

// A whole number in an edit; nothing when it holds none.
std::optional<long> Whole(const QLineEdit* edit) {
  bool ok = false;
  const long v = edit->text().trimmed().toLong(&ok);
  if (!ok) return std::nullopt;
  return v;
}

}  // namespace

// A scroll bar whose arrows step a value the core keeps. The bar shows the
// value within its range; a drag or a click beside the thumb changes nothing.
class ValueArrows final : public QScrollBar {
 public:
  explicit ValueArrows(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
      if ((action == SliderSingleStepSub || action == SliderSingleStepAdd) && onPress) {
        onPress(action == SliderSingleStepAdd);
      }
      setSliderPosition(shown_);
    });
  }
  void showValue(int maximum, int value) {
    setRange(0, maximum);
    shown_ = std::clamp(value, 0, maximum);
    setValue(shown_);
  }
  std::function<void(bool lineDown)> onPress;

 private:
  int shown_ = 0;
};

TWyDialog::TWyDialog(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent)
    : QDialog(parent), state_(state), host_(host), clock_(clock) {
  setObjectName("TWyDialog");
  setWindowTitle("QEL_VESK Control Interface");
  setModal(true);
  // A new dialog shows no focus reading until the loop runs.
  state_.camera.exposure.focusPeak = 0;
  auto* grid = new QGridLayout(this);
  setLayout(grid);
  buildExposure();
  buildSeries();
  buildFocus();
  buildDevices();

  auto* take = Named(new QPushButton("Take Photo", this), 1);
  auto* cancel = Named(new QPushButton("Cancel", this), 2);
  auto* help = Named(new QPushButton("Help", this), 9);
  auto* autoguide = Named(new QPushButton("Autoguide Photo", this), 12);
  auto* goGuider = Named(new QPushButton("Go to Autoguider ", this), 13);
  take->setDefault(true);
  auto* buttons = new QHBoxLayout;
  for (auto* b : {take, autoguide, goGuider, help, cancel}) buttons->addWidget(b);
  grid->addLayout(buttons, 3, 0, 1, 3);
  connect(take, &QPushButton::clicked, this, [this] { takePhoto(); });
  connect(autoguide, &QPushButton::clicked, this, [this] {
    if (PressAutoguidePhoto(state_, host_)) takePhoto();
  });
  connect(goGuider, &QPushButton::clicked, this, [this] {
    if (PressGoToAutoguider(state_, host_)) done(kGoToAutoguiderResult);
  });
  connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
  connect(help, &QPushButton::clicked, this, [this] {
    host_.showMessage(MessageBoxRequest{kHelpCaption, kHelpText, MessageIcon::None});
  });

  // While the monitor runs the fields follow the cooler's replies.
  auto* monitorTick = new QTimer(this);
  monitorTick->setInterval(static_cast<int>(kMonitorIntervalMs));
  connect(monitorTick, &QTimer::timeout, this, [this] {
    if (state_.camera.monitoring) showCooler();
  });
  monitorTick->start();
  // Otherwise the dialog reads the cooler itself, so Actual never goes stale.
  coolerTick_ = new QTimer(this);
  coolerTick_->setInterval(static_cast<int>(kDialogCoolerIntervalMs));
  connect(coolerTick_, &QTimer::timeout, this, [this] {
    if (!isVisible()) return;
    readCooler();
    showCooler();
  });
  coolerTick_->start();
  refresh();
}

TWyDialog::~TWyDialog() = default;

void TWyDialog::buildExposure() {
  auto* box = new QGroupBox("Exposure", this);
  auto* g = new QGridLayout(box);
  static constexpr const char* kCaptions[5] = {"Thousandths", "Hundredth's", "Tenth's", "Seconds", "Minutes"};
  for (int i = 0; i < 5; ++i) {
    ranges_[i] = Named(new QRadioButton(kCaptions[i], box), 171 + i);
    g->addWidget(ranges_[i], i, 0);
    connect(ranges_[i], &QRadioButton::clicked, this, [this, i] {
      ChooseRange(state_.camera.exposure, kRangeLetters[i]);
      refresh();
    });
  }
  value_ = Field(105, box, false);
  valueArrows_ = Named(new ValueArrows(box), 104);
  valueArrows_->onPress = [this](bool down) {
    ExposureSettings& s = state_.camera.exposure;
    if (!down && s.value > 1) --s.value;
    if (down && s.value < s.maximum) ++s.value;
    refresh();
  };
  connect(value_, &QLineEdit::editingFinished, this, [this] { readValueEdit(false); });
  g->addWidget(value_, 5, 0);
  g->addWidget(valueArrows_, 5, 1);
  static_cast<QGridLayout*>(layout())->addWidget(box, 0, 0);

  auto* modeBox = new QGroupBox("Read-out", this);
  auto* mg = new QVBoxLayout(modeBox);
  for (int i = 0; i < 5; ++i) {
    modes_[i] = Named(new QRadioButton(kModeCaptions[i], modeBox), 301 + i);
    mg->addWidget(modes_[i]);
    connect(modes_[i], &QRadioButton::clicked, this, [this, i] {
      state_.camera.exposure.readoutMode = i + 1;
      SetGeometryForReadout(state_, i + 1);
      refresh();
    });
  }
  static_cast<QGridLayout*>(layout())->addWidget(modeBox, 1, 0);
}

void TWyDialog::buildSeries() {
  auto* box = new QGroupBox("Series", this);
  auto* g = new QGridLayout(box);
  auto check = [this, box](int id, const char* caption, bool ExposureSettings::*flag) {
    auto* c = Named(new QCheckBox(caption, box), id);
    connect(c, &QCheckBox::clicked, this, [this, flag] {
      state_.camera.exposure.*flag = !(state_.camera.exposure.*flag);
      refresh();
    });
    return c;
  };
  average_ = check(106, "Average Multiple Exposures", &ExposureSettings::average);
  altSlew_ = check(115, "Alternative Slew Method", &ExposureSettings::alternativeSlew);
  autosave_ = check(116, "Auto Save Image", &ExposureSettings::autosave);
  countdown_ = check(117, "Delay before exposure", &ExposureSettings::countdown);
  continuous_ = check(118, "Continuous Mode", &ExposureSettings::continuous);
  autoDark_ = check(113, "Auto-Remove Dark Frame", &ExposureSettings::autoDark);
  autoFlat_ = check(123, "Auto-Apply Flatfield", &ExposureSettings::autoFlat);
  autoProcess_ = check(125, "Apply Auto-Processing", &ExposureSettings::autoProcess);

  count_ = Field(112, box, false);
  countArrows_ = Named(new ValueArrows(box), 111);
  countArrows_->onPress = [this](bool down) {
    ExposureSettings& s = state_.camera.exposure;
    if (!down && s.count > 1) --s.count;
    if (down && s.count < kMaxSeriesCount) ++s.count;
    refresh();
  };
  connect(count_, &QLineEdit::editingFinished, this, [this] { readCountEdit(); });
  pause_ = Field(120, box);
  pauseArrows_ = Named(new ValueArrows(box), 119);
  pauseArrows_->onPress = [this](bool down) {
    ExposureSettings& s = state_.camera.exposure;
    if (!down && s.pause > 0) --s.pause;
    if (down && s.pause < kMaxPauseBetweenFrames) ++s.pause;
    refresh();
  };
  pauseSeconds_ = Named(new QRadioButton("Seconds", box), 10);
  pauseMinutes_ = Named(new QRadioButton("Minutes", box), 11);
  connect(pauseSeconds_, &QRadioButton::clicked, this, [this] {
    state_.camera.exposure.pauseInMinutes = false;
    refresh();
  });
  connect(pauseMinutes_, &QRadioButton::clicked, this, [this] {
    state_.camera.exposure.pauseInMinutes = true;
    refresh();
  });
  darkName_ = Field(114, box);
  flatName_ = Field(124, box);
  lastFile_ = Field(7122, box);
  subDir_ = Field(710, box);

  int row = 0;
  g->addWidget(new QLabel("No of Exposures", box), row, 0);
  g->addWidget(count_, row, 1);
  g->addWidget(countArrows_, row++, 2);
  g->addWidget(average_, row++, 0, 1, 3);
  g->addWidget(altSlew_, row++, 0, 1, 3);
  g->addWidget(continuous_, row++, 0, 1, 3);
  g->addWidget(countdown_, row++, 0, 1, 3);
  g->addWidget(new QLabel("Delay between exposures", box), row, 0);
  g->addWidget(pause_, row, 1);
  g->addWidget(pauseArrows_, row++, 2);
  g->addWidget(pauseSeconds_, row, 0);
  g->addWidget(pauseMinutes_, row++, 1, 1, 2);
  g->addWidget(autoDark_, row, 0);
  g->addWidget(darkName_, row++, 1, 1, 2);
  g->addWidget(autoFlat_, row, 0);
  g->addWidget(flatName_, row++, 1, 1, 2);
  g->addWidget(autoProcess_, row++, 0, 1, 3);
  g->addWidget(autosave_, row++, 0, 1, 3);
  g->addWidget(new QLabel("Last file no.", box), row, 0);
  g->addWidget(lastFile_, row++, 1, 1, 2);
  g->addWidget(new QLabel("Sub-Dir", box), row, 0);
  g->addWidget(subDir_, row++, 1, 1, 2);
  static_cast<QGridLayout*>(layout())->addWidget(box, 0, 1, 2, 1);
}

void TWyDialog::buildFocus() {
  auto* box = new QGroupBox("Focus", this);
  auto* g = new QGridLayout(box);
  auto* start = Named(new QPushButton("Start", box), 107);
  auto* stop = Named(new QPushButton("Stop", box), 108);
  connect(start, &QPushButton::clicked, this, [this] { startFocus(); });
  connect(stop, &QPushButton::clicked, this, [this] { stopFocus(); });
  maxValue_ = Field(109, box);
  fwhm_ = Field(716, box);
  stretch_ = Field(129, box);
  stretchBar_ = Named(new QScrollBar(Qt::Vertical, box), 128);
  stretchBar_->setRange(kMinFocusStretch, kMaxFocusStretch);
  stretchBar_->setPageStep(kMaxFocusStretch);
  connect(stretchBar_, &QScrollBar::valueChanged, this, [this](int v) {
    if (refreshing_) return;
    // The bar's range is the stretch's range.
    static_cast<void>(SetFocusStretch(state_.camera.exposure, v));
    refresh();
  });
  autochange_ = Named(new QCheckBox("Autochange Exposure", box), 126);
  binFocus_ = Named(new QCheckBox("Bin Focus Frame", box), 736);
  connect(autochange_, &QCheckBox::clicked, this, [this] {
    state_.camera.exposure.autochange = !state_.camera.exposure.autochange;
    refresh();
  });
  connect(binFocus_, &QCheckBox::clicked, this, [this] {
    state_.camera.exposure.binFocusFrame = !state_.camera.exposure.binFocusFrame;
    refresh();
  });
  focusPicture_ = new QLabel(box);
  focusPicture_->setObjectName("focusPicture");
  focusPicture_->setFixedSize(kGuideBoxSize, kGuideBoxSize);
  focusPicture_->setFrameShape(QFrame::Box);
  g->addWidget(start, 0, 0);
  g->addWidget(stop, 0, 1);
  g->addWidget(new QLabel("Max Value", box), 1, 0);
  g->addWidget(maxValue_, 1, 1);
  g->addWidget(new QLabel("FWHM", box), 2, 0);
  g->addWidget(fwhm_, 2, 1);
  g->addWidget(new QLabel("Stretch", box), 3, 0);
  g->addWidget(stretch_, 3, 1);
  g->addWidget(stretchBar_, 0, 2, 4, 1);
  g->addWidget(autochange_, 4, 0, 1, 3);
  g->addWidget(binFocus_, 5, 0, 1, 3);
  g->addWidget(focusPicture_, 0, 3, 6, 1);
  static_cast<QGridLayout*>(layout())->addWidget(box, 0, 2);
}

void TWyDialog::buildDevices() {
  auto* box = new QGroupBox("Camera", this);
  auto* g = new QGridLayout(box);
  cameraMode_ = Field(14, box);
  guiderStatus_ = Field(15, box);
  firmware_ = Field(741, box);
  filterPosition_ = Field(318, box);
  filterName_ = Field(319, box);
  actual_ = Field(738, box);
  setTemp_ = Field(739, box);
  coolingMode_ = Field(744, box);
  setpoint_ = Named(new QScrollBar(Qt::Horizontal, box), 737);
  setpoint_->setRange(kLowestSetpointC, kHighestSetpointC);
  setpoint_->setPageStep(kHighestSetpointC - kLowestSetpointC);
  connect(setpoint_, &QScrollBar::valueChanged, this, [this](int v) {
    if (refreshing_) return;
    // Held at -40 in maximum cooling; every move is saved.
    // A failed save or cooler command has shown its message; the refresh shows what holds.
    static_cast<void>(MoveSetpoint(state_, host_, v));
    refresh();
  });
  coolingOn_ = Named(new QCheckBox("Cooling On", box), 740);
  connect(coolingOn_, &QCheckBox::clicked, this, [this] {
    ToggleCooling(state_);
    refresh();
  });
  monitorButton_ = Named(new QPushButton("Monitor", box), 742);
  connect(monitorButton_, &QPushButton::clicked, this, [this] { toggleMonitor(); });
  static constexpr const char* kWheel[3] = {"First", "Next", "Prev"};
  for (int i = 0; i < 3; ++i) {
    auto* b = Named(new QPushButton(kWheel[i], box), 315 + i);
    g->addWidget(b, 4, i);
    connect(b, &QPushButton::clicked, this, [this, i] {
      // A wheel that does not answer has shown its message; the refresh shows the filter in place.
      if (i == 0) static_cast<void>(FilterFirst(state_, host_, clock_));
      if (i == 1) static_cast<void>(FilterNext(state_, host_, clock_));
      if (i == 2) static_cast<void>(FilterPrev(state_, host_, clock_));
      refresh();
    });
  }
  g->addWidget(new QLabel("Camera Mode", box), 0, 0);
  g->addWidget(cameraMode_, 0, 1, 1, 2);
  g->addWidget(new QLabel("AutoGuider Status", box), 1, 0);
  g->addWidget(guiderStatus_, 1, 1, 1, 2);
  g->addWidget(new QLabel("Camera Firmware Version", box), 2, 0);
  g->addWidget(firmware_, 2, 1, 1, 2);
  g->addWidget(new QLabel("Filter", box), 3, 0);
  g->addWidget(filterPosition_, 3, 1);
  g->addWidget(filterName_, 3, 2);
  g->addWidget(new QLabel("Actual", box), 5, 0);
  g->addWidget(actual_, 5, 1);
  g->addWidget(new QLabel("Set", box), 6, 0);
  g->addWidget(setTemp_, 6, 1);
  g->addWidget(setpoint_, 7, 0, 1, 3);
  g->addWidget(coolingOn_, 8, 0);
  g->addWidget(monitorButton_, 8, 1);
  g->addWidget(coolingMode_, 9, 0, 1, 3);
  static_cast<QGridLayout*>(layout())->addWidget(box, 1, 2);
}

bool TWyDialog::readValueEdit(bool requireValue) {
  const auto v = Whole(value_);
  if (!v || *v == 0) {
    if (!requireValue) refresh();
    return false;
  }
  if (!SetExposureValue(state_.camera.exposure, *v)) {
    host_.beep();
    refresh();
    return false;
  }
  refresh();
  return true;
}

void TWyDialog::readCountEdit() {
  const auto v = Whole(count_);
  if (v && *v != 0 && !SetSeriesCount(state_.camera.exposure, *v)) host_.beep();
  refresh();
}

void TWyDialog::takePhoto() {
  // An empty or zero value does nothing; the dialog stays open.
  if (!readValueEdit(true)) return;
  if (focusRunner_) focusRunner_->cancel();
  if (monitorRunner_) monitorRunner_->cancel();
  done(kTakePhotoResult);
}

void TWyDialog::startFocus() {
  if ((focusRunner_ && focusRunner_->running()) || !FocusLoopAllowed(state_.camera.exposure)) return;
  if (focusRunner_) focusRunner_.reset();
  focus_ = std::make_unique<FocusOperation>(state_, host_, [this](const FocusAnalysis&) {
    showFocusPicture();
    refresh();
  });
  focusRunner_ = std::make_unique<OperationRunner>(*focus_, clock_);
  focusRan_ = true;
  focusRunner_->start();
}

void TWyDialog::stopFocus() {
  // The left press of the click itself ends the loop; this covers a press by
  // keyboard.
  if (focusRunner_) focusRunner_->cancel();
}

void TWyDialog::toggleMonitor() {
  if (monitorRunner_ && monitorRunner_->running()) {
    monitorRunner_->cancel();
    refresh();
    return;
  }
  monitorRunner_.reset();
  monitor_ = std::make_unique<CoolerMonitorOperation>(state_, host_, [this](std::string_view caption) {
    monitorButton_->setText(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
  });
  monitorRunner_ = std::make_unique<OperationRunner>(*monitor_, clock_);
  monitorRunner_->start();
}

void TWyDialog::showFocusPicture() {
  const auto& bitmap = state_.display.bitmap;
  if (!state_.images.focusPreview || bitmap.empty()) return;
  QImage image;
  if (image.loadFromData(bitmap.data(), static_cast<int>(bitmap.size()), "BMP")) {
    focusPicture_->setPixmap(QPixmap::fromImage(image));
  }
}

void TWyDialog::readCooler() {
  // A failed exchange shows a message box; its event loop must not start
  // another exchange.
  if (coolerReading_) return;
  coolerReading_ = true;
  const CoolerRead read = ReadCoolerForDialog(state_, host_);
  coolerReading_ = false;
  // After a failure only the user's own changes try again, so a camera that
  // went away does not bring up a message every second.
  if (read == CoolerRead::Failed) coolerTick_->stop();
  if (read == CoolerRead::Read && !coolerTick_->isActive()) coolerTick_->start();
}

void TWyDialog::refresh() {
  readCooler();
  showFields();
}

void TWyDialog::showFields() {
  refreshing_ = true;
  const ExposureSettings& s = state_.camera.exposure;
  int rangeIndex = 4;
  for (int i = 0; i < 4; ++i) {
    if (s.range == kRangeLetters[i]) rangeIndex = i;
  }
  ranges_[rangeIndex]->setChecked(true);
  value_->setText(QString::number(s.value));
  valueArrows_->showValue(s.maximum, s.value);
  count_->setText(QString::number(s.count));
  countArrows_->showValue(kCountArrowsTop, s.count);
  pause_->setText(QString::number(s.pause));
  pauseArrows_->showValue(kMaxPauseBetweenFrames, s.pause);
  (s.pauseInMinutes ? pauseMinutes_ : pauseSeconds_)->setChecked(true);
  lastFile_->setText(QString::number(state_.settings.lastFileNumber));
  subDir_->setText(QString::fromStdString(state_.settings.autosaveDirectory.str()));
  darkName_->setText(QString::fromStdString(state_.files.darkFramePath));
  flatName_->setText(QString::fromStdString(state_.files.flatFieldPath));
  average_->setChecked(s.average);
  altSlew_->setChecked(s.alternativeSlew);
  autosave_->setChecked(s.autosave);
  countdown_->setChecked(s.countdown);
  continuous_->setChecked(s.continuous);
  autoDark_->setChecked(s.autoDark);
  autoFlat_->setChecked(s.autoFlat);
  autoProcess_->setChecked(s.autoProcess);
  autochange_->setChecked(s.autochange);
  binFocus_->setChecked(s.binFocusFrame);
  modes_[std::clamp(s.readoutMode, 1, 5) - 1]->setChecked(true);
  maxValue_->setText(QString::number(s.focusPeak));
  fwhm_->setText(QString::number(s.focusFwhm));
  stretch_->setText(QString::number(s.focusStretch));
  stretchBar_->setValue(s.focusStretch);
  cameraMode_->setText(QString::fromStdString(CameraModeText(s)));
  guiderStatus_->setText(QString::fromStdString(GuiderStatusText(state_)));
  firmware_->setText(QString::fromStdString(FirmwareText(state_.camera)));
  filterPosition_->setText(QString::number(state_.camera.filterPosition));
  filterName_->setText(QString::fromStdString(FilterNameText(state_)));
  refreshing_ = false;
  showCooler();
}

void TWyDialog::showCooler() {
  const bool wasRefreshing = refreshing_;
  refreshing_ = true;
  if (state_.camera.coolerAvailable) {
    actual_->setText(QString::fromStdString(TemperatureText(state_.camera.actualTemperatureC)));
    setTemp_->setText(QString::fromStdString(TemperatureText(state_.settings.derived.coolerSetpointC)));
    setpoint_->setValue(state_.settings.derived.coolerSetpointC);
  }
  setpoint_->setEnabled(state_.camera.coolerAvailable);
  coolingOn_->setEnabled(state_.camera.coolerAvailable);
  coolingOn_->setChecked(state_.camera.coolingOn);
  coolingMode_->setText(QString::fromStdString(CoolingModeText(state_.settings)));
  refreshing_ = wasRefreshing;
  update();
}

void RunCameraInterface(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent,
                        const std::function<void(int result)>& closed) {
  // The main sensor takes one run at a time; main-camera guiding, which
  // reads it frame after frame, is refused with a message on opening.
  if (state.camera.exposureRunning) return;
  if (!OpenCameraInterface(state, host, clock)) return;
  int result = 0;
  bool focusRan = false;
  {
    TWyDialog dialog(state, host, clock, parent);
    result = dialog.exec();
    focusRan = dialog.focusRan();
  }
  if (result != kTakePhotoResult) {
    if (focusRan) {
      WaitCursor wait(host);
      state.images.focusPreview = 0;
      host.requestRebuildDisplay();
    }
    if (closed) closed(result);
    return;
  }
  if (closed) closed(result);
  auto run = std::make_shared<ExposureOperation>(state, host, clock);
  auto* runner = new OperationRunner(*run, clock, parent);
  QObject::connect(runner, &OperationRunner::finished, runner, [runner, run] { runner->deleteLater(); });
  runner->start();
}

}  // namespace qv
