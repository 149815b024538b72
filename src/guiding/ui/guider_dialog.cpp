#include "guiding/ui/guider_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include "app/image_store.h"
#include "app/messages.h"
#include "app/ui/control_name.h"
#include "app/ui/operation_runner.h"
#include "app/ui/qt_host.h"
#include "camera/camera_commands.h"
#include "guiding/ao_unit.h"
#include "guiding/guider_exposure.h"
#include "guiding/guider_frames.h"
#include "guiding/guider_picture.h"
#include "guiding/guider_training.h"
#include "guiding/telescope_commands.h"
#include "guiding/ui/guider_frame_view.h"

namespace qv {

namespace {

constexpr const char* kHelpText =
    "Select the exposure range with the Hundredths, Tenths and Seconds buttons and vary the exposure time with the "
    "scroll arrows.\n\nStart takes guider frames one after another until Stop is pressed or the left mouse button "
    "is pressed; use it to focus the guider and to find a guide star.\n\nSelect Guide Star, then click on a star in "
    "the frame. Train measures the telescope drives (or the AO unit) on that star; Start Guiding closes this window "
    "and guides on it.";
constexpr int kRefreshMs = 300;

QLineEdit* Edit(int id, QWidget* parent, bool readOnly) {
  auto* edit = Named(new QLineEdit(parent), id);
  edit->setReadOnly(readOnly);
  edit->setMaximumWidth(160);
  return edit;
}

int Whole(const QLineEdit* edit, bool* ok) { return edit->text().trimmed().toInt(ok); }

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

TGWyDialog::TGWyDialog(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent)
    : QDialog(parent), state_(state), host_(host), clock_(clock) {
  setObjectName("TGWyDialog");
  setWindowTitle(Text(kGuiderDialogCaption));
  setModal(true);
  auto* grid = new QGridLayout(this);
  frame_ = new GuiderFrameView(state, false, this);
  frame_->onPointer = [this](int x, int y) { showPointer(x, y); };
  frame_->onClick = [this](int x, int y) {
    if (!ClickGuiderFrame(state_, host_, x, y)) return;
    unsetCursor();
    refresh();
  };
  grid->addWidget(frame_, 0, 0, Qt::AlignTop);
  buildExposure(grid);
  buildTelescopeTable(grid);
  buildAo(grid);
  buildButtons(grid);

  // While an operation runs, its frames and the training caption show.
  auto* tick = new QTimer(this);
  tick->setInterval(kRefreshMs);
  connect(tick, &QTimer::timeout, this, [this] {
    if (!busy()) return;
    if (auto* training = dynamic_cast<GuiderTrainingOperation*>(operation_.get())) {
      setWindowTitle(QString::fromStdString(training->caption()));
      // A bitmap that cannot be written has shown its message; the last picture stays.
      static_cast<void>(RenderGuiderFrame(state_, host_));
    }
    frame_->update();
  });
  tick->start();
  refresh();
}

TGWyDialog::~TGWyDialog() {
  // The work ends with the dialog, without showing its end on a dialog going away.
  if (runner_) {
    runner_->disconnect(this);
    runner_->cancel();
  }
}

bool TGWyDialog::busy() const { return runner_ && runner_->running(); }

QPushButton* TGWyDialog::button(int id, const char* text, QWidget* parent) {
  return Named(new QPushButton(text, parent), id);
}

QAbstractButton* TGWyDialog::toggle(QAbstractButton* b, GuiderToggle which) {
  connect(b, &QAbstractButton::clicked, this, [this, which] {
    ToggleGuiderOption(state_, host_, which);
    refresh();
  });
  return b;
}

void TGWyDialog::buildExposure(QGridLayout* grid) {
  auto* box = new QGroupBox("Guider Camera", this);
  auto* g = new QGridLayout(box);
  static constexpr std::pair<int, const char*> kUnits[] = {{811, "Hundredths"}, {812, "Tenths"}, {813, "Seconds"}};
  int row = 0;
  for (const auto& [id, caption] : kUnits) {
    auto* r = Named(new QRadioButton(caption, box), id);
    const char unit = id == 811 ? 'h' : id == 812 ? 't' : 's';
    connect(r, &QRadioButton::clicked, this, [this, unit] {
      ChooseGuiderUnit(state_, unit);
      refresh();
    });
    checks_[id] = r;
    g->addWidget(r, row++, 0);
  }
  exposureBar_ = Named(new QScrollBar(Qt::Horizontal, box), 810);
  exposureBar_->setSingleStep(1);
  connect(exposureBar_, &QScrollBar::valueChanged, this, [this](int v) {
    if (refreshing_) return;
    StepGuiderExposure(state_, v - state_.guiding.guiderExposure.value);
    refresh();
  });
  edits_[814] = Edit(814, box, false);
  connect(edits_[814], &QLineEdit::editingFinished, this, [this] {
    bool ok = false;
    const int v = Whole(edits_[814], &ok);
    if (!ok || !SetGuiderExposureValue(state_, v)) host_.beep();
    refresh();
  });
  g->addWidget(new QLabel("Value", box), row, 0);
  g->addWidget(edits_[814], row++, 1);
  g->addWidget(exposureBar_, row++, 0, 1, 2);

  stretchBar_ = Named(new QScrollBar(Qt::Horizontal, box), 815);
  stretchBar_->setRange(kGuiderStretchMin, kGuiderStretchMax);
  connect(stretchBar_, &QScrollBar::valueChanged, this, [this](int v) {
    if (refreshing_) return;
    SetGuiderStretch(state_, v);
    // A bitmap that cannot be written has shown its message; the last picture stays.
    static_cast<void>(RenderGuiderFrame(state_, host_));
    refresh();
  });
  edits_[816] = Edit(816, box, true);
  g->addWidget(new QLabel("Stretch Image", box), row, 0);
  g->addWidget(edits_[816], row++, 1);
  g->addWidget(stretchBar_, row++, 0, 1, 2);
  for (const auto& [id, caption] : {std::pair{818, "x"}, std::pair{819, "y"}, std::pair{827, "val"}}) {
    edits_[id] = Edit(id, box, true);
    g->addWidget(new QLabel(caption, box), row, 0);
    g->addWidget(edits_[id], row++, 1);
  }
  edits_[820] = Edit(820, box, true);
  edits_[821] = Edit(821, box, true);
  g->addWidget(new QLabel("Selected     x", box), row, 0);
  g->addWidget(edits_[820], row++, 1);
  g->addWidget(new QLabel("y", box), row, 0);
  g->addWidget(edits_[821], row++, 1);
  auto* select = button(822, "Select Guide Star", box);
  connect(select, &QPushButton::clicked, this, [this] {
    BeginGuiderStarSelection(state_);
    frame_->setCursor(Qt::CrossCursor);
  });
  g->addWidget(select, row++, 0, 1, 2);
  auto* start = button(823, "Start", box);
  auto* stop = button(824, "Stop", box);
  connect(start, &QPushButton::clicked, this, [this] { startFrames(); });
  connect(stop, &QPushButton::clicked, this, [this] {
    if (runner_) runner_->cancel();
    refresh();
  });
  g->addWidget(start, row, 0);
  g->addWidget(stop, row++, 1);
  const std::pair<int, const char*> kChecks[] = {{826, "1 Sec Pause"},
                                                 {916, "Apply Median Filter to all Images"},
                                                 {917, "Apply Stretch to Guider Images"},
                                                 {2439, "Bin 2x2"},
                                                 {2440, "Clear Camera"}};
  const GuiderToggle kToggles[] = {GuiderToggle::Pause, GuiderToggle::MedianFilter, GuiderToggle::Stretch,
                                   GuiderToggle::Bin2x2, GuiderToggle::ClearCamera};
  for (int i = 0; i < 5; ++i) {
    checks_[kChecks[i].first] = toggle(Named(new QCheckBox(kChecks[i].second, box), kChecks[i].first), kToggles[i]);
    g->addWidget(checks_[kChecks[i].first], row++, 0, 1, 2);
  }
  // The stretch and the filter show at once on the frame in hand.
  for (int id : {916, 917}) {
    connect(checks_[id], &QAbstractButton::clicked, this, [this] {
      // A bitmap that cannot be written has shown its message; the last picture stays.
      if (!state_.guiding.guiderDialog.picture.empty()) static_cast<void>(RenderGuiderFrame(state_, host_));
      frame_->update();
    });
  }
  grid->addWidget(box, 0, 1, 2, 1, Qt::AlignTop);

  auto* dark = new QGroupBox("Dark Frame", this);
  auto* d = new QGridLayout(dark);
  edits_[913] = Edit(913, dark, true);
  edits_[913]->setMaximumWidth(400);
  checks_[914] = toggle(Named(new QCheckBox("Apply DarkFrame", dark), 914), GuiderToggle::ApplyDark);
  auto* take = button(915, "Take DarkFrame", dark);
  connect(take, &QPushButton::clicked, this, [this] {
    if (busy()) return;
    run(std::make_unique<GuiderFramesOperation>(
        state_, host_, clock_, [this] { frame_->update(); }, GuiderFramesOperation::Purpose::Dark));
  });
  d->addWidget(edits_[913], 0, 0, 1, 2);
  d->addWidget(checks_[914], 1, 0);
  d->addWidget(take, 1, 1);
  grid->addWidget(dark, 1, 0, Qt::AlignTop);
}

void TGWyDialog::buildTelescopeTable(QGridLayout* grid) {
  auto* box = new QGroupBox("Telescope Drives", this);
  auto* g = new QGridLayout(box);
  g->addWidget(new QLabel("Default", box), 0, 1);
  g->addWidget(new QLabel("Latest", box), 0, 2);
  static constexpr const char* kRows[5] = {"RA rate", "Dec rate", "RA backlash", "Dec backlash", "RA angle"};
  for (int i = 0; i < 5; ++i) {
    g->addWidget(new QLabel(kRows[i], box), i + 1, 0);
    edits_[861 + i] = Edit(861 + i, box, false);
    edits_[866 + i] = Edit(866 + i, box, true);
    g->addWidget(edits_[861 + i], i + 1, 1);
    g->addWidget(edits_[866 + i], i + 1, 2);
  }
  auto* change = button(871, "Change Defaults", box);
  auto* saveLatest = button(872, "Save Latest", box);
  connect(change, &QPushButton::clicked, this, [this] { changeDefaults(); });
  connect(saveLatest, &QPushButton::clicked, this, [this] {
    SaveLatestGuiderValues(state_, host_);
    refresh();
  });
  auto* trainButton = button(828, "Train", box);
  connect(trainButton, &QPushButton::clicked, this, [this] { train(false); });
  useDefault_ = button(833, "Use Default", box);
  connect(useDefault_, &QPushButton::clicked, this, [this] {
    ToggleGuiderUseTrained(state_);
    refresh();
  });
  edits_[832] = Edit(832, box, true);
  int row = 6;
  g->addWidget(change, row, 1);
  g->addWidget(saveLatest, row++, 2);
  g->addWidget(trainButton, row, 0);
  g->addWidget(useDefault_, row, 1);
  g->addWidget(edits_[832], row++, 2);
  const std::pair<int, const char*> kChecks[] = {
      {873, "Ignore Backlash"}, {885, "Ignore RA Angle"}, {875, "Swap n/s direction"}, {876, "Swap e/w direction"}};
  const GuiderToggle kToggles[] = {GuiderToggle::IgnoreBacklash, GuiderToggle::IgnoreRaAngle,
                                   GuiderToggle::SwapNorthSouth, GuiderToggle::SwapEastWest};
  for (int i = 0; i < 4; ++i) {
    checks_[kChecks[i].first] = toggle(Named(new QCheckBox(kChecks[i].second, box), kChecks[i].first), kToggles[i]);
    g->addWidget(checks_[kChecks[i].first], row + i / 2, i % 2 * 2, 1, i % 2 ? 1 : 2);
  }
  grid->addWidget(box, 0, 2, Qt::AlignTop);
}

void TGWyDialog::buildAo(QGridLayout* grid) {
  auto* box = new QGroupBox("AO Unit", this);
  auto* g = new QGridLayout(box);
  g->addWidget(new QLabel("Default", box), 0, 1);
  g->addWidget(new QLabel("Latest", box), 0, 2);
  g->addWidget(new QLabel("Up/Down", box), 1, 0);
  g->addWidget(new QLabel("Left/Right", box), 2, 0);
  for (int i = 0; i < 2; ++i) {
    edits_[925 + i] = Edit(925 + i, box, false);
    edits_[927 + i] = Edit(927 + i, box, true);
    g->addWidget(edits_[925 + i], i + 1, 1);
    g->addWidget(edits_[927 + i], i + 1, 2);
  }
  auto* change = button(933, "Change Defaults", box);
  auto* saveLatest = button(934, "Save Latest", box);
  auto* aoTrain = button(935, "Train", box);
  auto* useDefault = Named(new QPushButton("Use Default", box), 937);
  auto* aoMode = Named(new QPushButton("AO Mode", box), 936);
  auto* guidance = Named(new QPushButton("Guiding Mode", box), 939);
  auto* centre = button(941, "Centralise AO", box);
  connect(change, &QPushButton::clicked, this, [this] { changeAoDefaults(); });
  connect(saveLatest, &QPushButton::clicked, this, [this] {
    SaveLatestAoRates(state_, host_);
    refresh();
  });
  connect(aoTrain, &QPushButton::clicked, this, [this] { train(true); });
  toggle(useDefault, GuiderToggle::AoUseTrained);
  toggle(aoMode, GuiderToggle::AoMode);
  toggle(guidance, GuiderToggle::GuidanceMode);
  connect(centre, &QPushButton::clicked, this, [this] {
    if (busy()) return;
    // A failed move has shown its error.
    if (PrepareTelescope(state_, host_, clock_, true)) static_cast<void>(CentreAo(state_, host_, clock_));
    refresh();
  });
  edits_[938] = Edit(938, box, true);
  edits_[940] = Edit(940, box, true);
  edits_[942] = Edit(942, box, true);
  g->addWidget(change, 3, 1);
  g->addWidget(saveLatest, 3, 2);
  g->addWidget(aoTrain, 4, 0);
  g->addWidget(useDefault, 4, 1);
  g->addWidget(edits_[938], 4, 2);
  g->addWidget(guidance, 5, 0);
  g->addWidget(edits_[940], 5, 1, 1, 2);
  g->addWidget(aoMode, 6, 0);
  g->addWidget(edits_[942], 6, 1, 1, 2);
  g->addWidget(centre, 7, 0);
  const std::pair<int, const char*> kPorts[] = {{943, "Ser 1"}, {944, "Ser 2"}, {945, "PC "}};
  for (int i = 0; i < 3; ++i) {
    auto* r = Named(new QRadioButton(kPorts[i].second, box), kPorts[i].first);
    const int choice = kPorts[i].first == 943 ? 1 : kPorts[i].first == 944 ? 0 : 3;
    connect(r, &QRadioButton::clicked, this, [this, choice] {
      ChooseAoPort(state_, host_, choice);
      refresh();
    });
    checks_[kPorts[i].first] = r;
    g->addWidget(r, 8, i);
  }
  const std::pair<int, const char*> kChecks[] = {
      {931, "Swap Up/Down"}, {932, "Swap Left/Right"}, {946, "Swap Mount N/S"}, {947, "Swap Mount E/W"}};
  const GuiderToggle kToggles[] = {GuiderToggle::AoSwapUpDown, GuiderToggle::AoSwapLeftRight,
                                   GuiderToggle::MountSwapNorthSouth, GuiderToggle::MountSwapEastWest};
  for (int i = 0; i < 4; ++i) {
    checks_[kChecks[i].first] = toggle(Named(new QCheckBox(kChecks[i].second, box), kChecks[i].first), kToggles[i]);
    g->addWidget(checks_[kChecks[i].first], 9 + i / 2, i % 2 * 2, 1, i % 2 ? 1 : 2);
  }
  grid->addWidget(box, 1, 2, Qt::AlignTop);
}

void TGWyDialog::buildButtons(QGridLayout* grid) {
  auto* row = new QHBoxLayout;
  auto* main = button(874, "Go to Main Camera", this);
  auto* guide = button(878, "Start Guiding", this);
  auto* help = button(9, "Help", this);
  auto* close = button(2, "Close", this);
  for (auto* b : {main, guide, help, close}) row->addWidget(b);
  connect(main, &QPushButton::clicked, this, [this] { leave(kGuiderGoToMainResult); });
  connect(guide, &QPushButton::clicked, this, [this] { leave(kGuiderStartGuidingResult); });
  connect(help, &QPushButton::clicked, this, [this] {
    host_.showMessage({std::string(kGuiderDialogCaption), kHelpText, MessageIcon::None});
  });
  connect(close, &QPushButton::clicked, this, [this] { reject(); });
  grid->addLayout(row, 3, 0, 1, 3);
}

void TGWyDialog::run(std::unique_ptr<Operation> operation) {
  if (busy()) return;
  runner_.reset();
  operation_ = std::move(operation);
  runner_ = std::make_unique<OperationRunner>(*operation_, clock_);
  connect(runner_.get(), &OperationRunner::finished, this, [this] {
    setWindowTitle(Text(kGuiderDialogCaption));
    frame_->setFramesRunning(false);
    refresh();
  });
  runner_->start();
  refresh();
}

void TGWyDialog::startFrames() {
  if (busy()) return;
  frame_->setFramesRunning(true);
  run(std::make_unique<GuiderFramesOperation>(state_, host_, clock_, [this] { refresh(); }));
}

void TGWyDialog::train(bool ao) {
  run(std::make_unique<GuiderTrainingOperation>(state_, host_, clock_,
                                                ao ? GuiderTrainingKind::Ao : GuiderTrainingKind::Mount,
                                                GuiderExposureMs(state_.guiding.guiderExposure)));
}

void TGWyDialog::changeDefaults() {
  GuiderDefaultFields f;
  int* targets[5] = {&f.raRate, &f.decRate, &f.raBacklash, &f.decBacklash, &f.raAngle};
  for (int i = 0; i < 5; ++i) {
    bool ok = false;
    *targets[i] = Whole(edits_[861 + i], &ok);
    if (!ok) {
      host_.beep();
      refresh();
      return;
    }
  }
  const std::string problem = ChangeGuiderDefaultFields(state_, host_, f);
  if (!problem.empty()) host_.showMessage({std::string(kMessageCaption), problem, MessageIcon::None});
  refresh();
}

void TGWyDialog::changeAoDefaults() {
  bool okUp = false, okLeft = false;
  const int upDown = Whole(edits_[925], &okUp);
  const int leftRight = Whole(edits_[926], &okLeft);
  const std::string problem =
      okUp && okLeft ? ChangeAoDefaults(state_, host_, upDown, leftRight) : std::string("The AO rates must be whole numbers");
  if (!problem.empty()) host_.showMessage({std::string(kMessageCaption), problem, MessageIcon::None});
  refresh();
}

void TGWyDialog::leave(int result) {
  if (runner_) runner_->cancel();
  state_.guiding.guiderDialog.exit =
      result == kGuiderGoToMainResult ? GuiderDialogExit::MainCamera : GuiderDialogExit::StartGuiding;
  done(result);
}

void TGWyDialog::showPointer(int x, int y) {
  edits_[818]->setText(QString::number(x));
  edits_[819]->setText(QString::number(y));
  const int width = GuiderColumns(state_.settings);
  if (x < width) edits_[827]->setText(QString::number(state_.images.guideImage[y * width + x]));
}

void TGWyDialog::refresh() {
  refreshing_ = true;
  for (const auto& [id, text] : GuiderDialogFields(state_)) {
    if (auto e = edits_.find(id); e != edits_.end()) {
      if (!e->second->hasFocus() || e->second->isReadOnly()) e->second->setText(QString::fromStdString(text));
    } else if (auto c = checks_.find(id); c != checks_.end()) {
      c->second->setChecked(text == "1");
    }
  }
  useDefault_->setText(QString::fromStdString(GuiderDialogField(state_, 833)));
  const GuiderExposure& e = state_.guiding.guiderExposure;
  exposureBar_->setRange(0, GuiderExposureMaximum(e.unit).value_or(1));
  exposureBar_->setValue(e.value);
  stretchBar_->setValue(state_.guiding.guiderDialog.image.stretchValue);
  refreshing_ = false;
  frame_->update();
}

void RunGuiderCameraDialog(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent,
                           const std::function<void(int result)>& closed) {
  // The camera is busy while guider guiding or an exposure runs.
  if (state.guiding.guiderGuidingRunning || state.camera.exposureRunning) return;
  if (!OpenGuiderCamera(state, host, clock)) return;
  int result = 0;
  {
    TGWyDialog dialog(state, host, clock, parent);
    result = dialog.exec();
  }
  state.guiding.guiderDialog.exit = GuiderDialogExit::None;
  if (closed) closed(result);
}

}  // namespace qv
