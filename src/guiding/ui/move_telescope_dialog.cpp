#include "guiding/ui/move_telescope_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdlib>

#include "app/ui/control_name.h"
#include "app/ui/qt_host.h"
#include "guiding/guide_socket.h"
#include "guiding/telescope_commands.h"

namespace qv {

namespace {

constexpr std::string_view kHelpText =
    "Enter a Messier or CNGC number and press the GoTo Object button.\n\nIf you enter both numbers the Messier will be "
    "favoured. To use CGNC numbers ensure the Messier number is 0";

QLineEdit* NumberEdit(int id, QWidget* parent) {
  auto* edit = Named(new QLineEdit(parent), id);
  edit->setMaxLength(5);
  return edit;
}

// The number an edit holds, 0 when it holds none (as the dialog reads it).
int Number(const QLineEdit* edit) { return edit->text().trimmed().toInt(); }

}  // namespace

ArrowBar::ArrowBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {
  setRange(0, 2);
  setValue(1);
  connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
    if (action == SliderSingleStepSub || action == SliderSingleStepAdd) {
      if (onPress) onPress(action == SliderSingleStepAdd);
    }
    // The bar itself never moves: it only stands for its arrows.
    setSliderPosition(1);
  });
}

void ArrowBar::mouseReleaseEvent(QMouseEvent* event) {
  QScrollBar::mouseReleaseEvent(event);
  if (onRelease) onRelease();
}

void ArrowBar::keyReleaseEvent(QKeyEvent* event) {
  QScrollBar::keyReleaseEvent(event);
  if (!event->isAutoRepeat() && onRelease) onRelease();
}

TMTDialog::TMTDialog(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent)
    : QDialog(parent), state_(state), host_(host), clock_(clock) {
  setObjectName("TMTDialog");
  setWindowTitle("Qel_Vesk_USB Move Telescope");
  auto* grid = new QGridLayout(this);

  // Catalogue objects.
  auto* objects = new QGroupBox("Objects", this);
  auto* og = new QGridLayout(objects);
  auto* messier = NumberEdit(101, objects);
  auto* cngc = NumberEdit(102, objects);
  og->addWidget(new QLabel("Messier Object", objects), 0, 0);
  og->addWidget(messier, 0, 1);
  og->addWidget(new QLabel("CNGC Object", objects), 1, 0);
  og->addWidget(cngc, 1, 1);
  auto* goObject = Named(new QPushButton("GoTo Object", objects), 103);
  og->addWidget(goObject, 2, 0, 1, 2);
  connect(goObject, &QPushButton::clicked, this, [this, messier, cngc] {
    // The link has shown any error; the refresh shows what the scope answered.
    static_cast<void>(GoToCatalogueNumber(state_, host_, clock_, Number(messier), Number(cngc)));
    refresh();
  });
  static constexpr const char* kPlanets[] = {"Mercury", "Venus",  "Mars",    "Jupiter",
                                             "Saturn",  "Uranus", "Neptune", "Pluto"};
  for (int i = 0; i < 8; ++i) {
    auto* planet = Named(new QPushButton(kPlanets[i], objects), 104 + i);
    og->addWidget(planet, 3 + i / 2, i % 2);
    connect(planet, &QPushButton::clicked, this, [this, i] {
      const auto number = PlanetStarNumber(QString(kPlanets[i]).toLower().toStdString());
      // The link has shown any error; the refresh shows what the scope answered.
      static_cast<void>(GoToObject(state_, host_, clock_, 'S', *number));
      refresh();
    });
  }
  grid->addWidget(objects, 0, 0, 2, 1);

  // Coordinates.
  auto* coords = new QGroupBox("Co-ordinates", this);
  auto* cg = new QGridLayout(coords);
  cg->addWidget(new QLabel("R.A.", coords), 0, 0);
  auto* hours = NumberEdit(112, coords);
  auto* minutes = NumberEdit(113, coords);
  cg->addWidget(hours, 0, 1);
  cg->addWidget(new QLabel("hrs", coords), 0, 2);
  cg->addWidget(minutes, 0, 3);
  cg->addWidget(new QLabel("mins", coords), 0, 4);
  cg->addWidget(new QLabel("Dec.", coords), 1, 0);
  auto* degrees = NumberEdit(114, coords);
  auto* decMinutes = NumberEdit(115, coords);
  cg->addWidget(degrees, 1, 1);
  cg->addWidget(new QLabel("Deg", coords), 1, 2);
  cg->addWidget(decMinutes, 1, 3);
  cg->addWidget(new QLabel("mins", coords), 1, 4);
  auto* goCoords = Named(new QPushButton("Go To ", coords), 116);
  cg->addWidget(goCoords, 2, 0, 1, 5);
  connect(goCoords, &QPushButton::clicked, this, [this, hours, minutes, degrees, decMinutes] {
    // The sign is the text's, so "-0" degrees stays south.
    const QString degreeText = degrees->text().trimmed();
    Declination dec{degreeText.startsWith('-'), std::abs(degreeText.toInt()), Number(decMinutes)};
    // The link has shown any error; the refresh shows what the scope answered.
    static_cast<void>(GoToCoordinates(state_, host_, clock_, Number(hours), Number(minutes), dec));
    refresh();
  });
  grid->addWidget(coords, 0, 1);

  // Replies.
  auto* replies = new QGroupBox("Info from Scope", this);
  auto* rg = new QVBoxLayout(replies);
  info_ = Named(new QLineEdit(replies), 117);
  reply_ = Named(new QLineEdit(replies), 217);
  info_->setReadOnly(true);
  reply_->setReadOnly(true);
  rg->addWidget(info_);
  rg->addWidget(reply_);
  grid->addWidget(replies, 1, 1);

  // Hand slews: left west, right east, up north, down south.
  auto* slew = new QGroupBox("Slew", this);
  auto* sg = new QGridLayout(slew);
  auto* eastWest = Named(new ArrowBar(Qt::Horizontal, slew), 118);
  auto* northSouth = Named(new ArrowBar(Qt::Vertical, slew), 119);
  eastWest->onPress = [this](bool down) {
    // A move the link cannot send has shown its error; the release stops it all the same.
    static_cast<void>(StartSlew(state_, host_, clock_, down ? SkyDirection::East : SkyDirection::West));
  };
  northSouth->onPress = [this](bool down) {
    // A move the link cannot send has shown its error; the release stops it all the same.
    static_cast<void>(StartSlew(state_, host_, clock_, down ? SkyDirection::South : SkyDirection::North));
  };
  eastWest->onRelease = northSouth->onRelease = [this] { static_cast<void>(StopSlew(state_, host_, clock_)); };
  sg->addWidget(northSouth, 0, 1, 3, 1);
  sg->addWidget(eastWest, 1, 0);
  static constexpr const char* kRates[] = {"Slew", "Find", "Centre", "Guide"};
  for (int i = 0; i < 4; ++i) {
    rates_[i] = Named(new QRadioButton(kRates[i], slew), 120 + i);
    sg->addWidget(rates_[i], i, 2);
    connect(rates_[i], &QRadioButton::clicked, this, [this, i] {
      SetSlewRate(state_, "SMCG"[i]);
      refresh();
    });
  }
  grid->addWidget(slew, 2, 0);

  // Focuser: up out, down in.
  auto* focus = new QGroupBox("Focus", this);
  auto* fg = new QGridLayout(focus);
  auto* focusBar = Named(new ArrowBar(Qt::Vertical, focus), 124);
  focusBar->onPress = [this](bool down) { static_cast<void>(StartFocus(state_, host_, clock_, !down)); };
  focusBar->onRelease = [this] { static_cast<void>(StopFocus(state_, host_, clock_)); };
  fast_ = Named(new QRadioButton("Fast", focus), 125);
  slow_ = Named(new QRadioButton("Slow", focus), 126);
  connect(fast_, &QRadioButton::clicked, this, [this] {
    SetFocusSpeed(state_, true);
    refresh();
  });
  connect(slow_, &QRadioButton::clicked, this, [this] {
    SetFocusSpeed(state_, false);
    refresh();
  });
  fg->addWidget(focusBar, 0, 0, 2, 1);
  fg->addWidget(fast_, 0, 1);
  fg->addWidget(slow_, 1, 1);
  grid->addWidget(focus, 2, 1);

  auto* buttons = new QHBoxLayout;
  auto* finished = Named(new QPushButton("Finished", this), 2);
  auto* helpButton = Named(new QPushButton("Help", this), 9);
  connect(finished, &QPushButton::clicked, this, &QDialog::accept);
  connect(helpButton, &QPushButton::clicked, this, [this] { help(); });
  buttons->addWidget(finished);
  buttons->addWidget(helpButton);
  grid->addLayout(buttons, 3, 0, 1, 2);
  refresh();
}

void TMTDialog::refresh() {
  const GuidingState& g = state_.guiding;
  info_->setText(QString::fromStdString(state_.camera.telescopeReply));
  reply_->setText(QString::fromStdString(state_.camera.secondTelescopeReply));
  const char rate = g.slewRateCommand.size() > 3 ? g.slewRateCommand[3] : 'G';
  const int checked = rate == 'S' ? 0 : rate == 'M' ? 1 : rate == 'C' ? 2 : 3;
  rates_[checked]->setChecked(true);
  const bool fast = g.focusSpeedCommand.size() > 3 && g.focusSpeedCommand[3] == 'F';
  (fast ? fast_ : slow_)->setChecked(true);
}

void TMTDialog::help() {
  host_.showMessage({std::string(kControlTelescopeCaption), std::string(kHelpText), MessageIcon::None});
}

TCBDialog::TCBDialog(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent) : QDialog(parent) {
  setObjectName("TCBDialog");
  setWindowTitle("Move Telescope");
  auto* grid = new QGridLayout(this);
  auto* eastWest = Named(new ArrowBar(Qt::Horizontal, this), 101);
  auto* northSouth = Named(new ArrowBar(Qt::Vertical, this), 102);
  eastWest->onPress = [&state, &host, &clock](bool down) {
    // A move the link cannot send has shown its error; the release stops it all the same.
    static_cast<void>(SocketStartMove(state, host, clock, down ? SkyDirection::East : SkyDirection::West));
  };
  northSouth->onPress = [&state, &host, &clock](bool down) {
    // A move the link cannot send has shown its error; the release stops it all the same.
    static_cast<void>(SocketStartMove(state, host, clock, down ? SkyDirection::South : SkyDirection::North));
  };
  eastWest->onRelease = northSouth->onRelease = [&state, &host] { static_cast<void>(SocketStopMove(state, host)); };
  grid->addWidget(northSouth, 0, 1, 3, 1);
  grid->addWidget(eastWest, 1, 0);
  auto* finished = Named(new QPushButton("Finished", this), 2);
  connect(finished, &QPushButton::clicked, this, &QDialog::accept);
  grid->addWidget(finished, 3, 0, 1, 2);
}

QDialog* OpenMoveTelescope(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent) {
  if (!PrepareTelescope(state, host, clock, true)) return nullptr;
  QDialog* dialog = state.settings.telescopeGuiding == 'b'
                        ? static_cast<QDialog*>(new TCBDialog(state, host, clock, parent))
                        : static_cast<QDialog*>(new TMTDialog(state, host, clock, parent));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setModal(false);
  dialog->show();
  return dialog;
}

}  // namespace qv
