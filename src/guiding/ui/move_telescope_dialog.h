#pragma once
// The Move Telescope dialogs: the LX200 one (GoTo by catalogue number,
// planet or coordinates, hand slews at a chosen rate, the focuser) and the
// autoguider socket one (hand moves only). Both are modeless views of the
// telescope state; every button and arrow calls the core.

#include <QDialog>
#include <QScrollBar>
#include <functional>

#include "app/clock.h"
#include "app/program_state.h"

class QLineEdit;
class QRadioButton;

namespace qv {

class QtHost;

// A scroll bar used as a pair of arrow buttons: an arrow pressed (a line up
// or line down) and the press ended (the mouse or key released).
class ArrowBar final : public QScrollBar {
 public:
  ArrowBar(Qt::Orientation orientation, QWidget* parent);
  std::function<void(bool lineDown)> onPress;
  std::function<void()> onRelease;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
};

class TMTDialog final : public QDialog {
 public:
  TMTDialog(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent);
  // Shows the replies and the chosen rate and focus speed.
  void refresh();

 private:
  void goToObject();
  void goToCoordinates();
  void help();

  ProgramState& state_;
  QtHost& host_;
  Clock& clock_;
  QLineEdit* info_ = nullptr;
  QLineEdit* reply_ = nullptr;
  QRadioButton* rates_[4] = {};
  QRadioButton* fast_ = nullptr;
  QRadioButton* slow_ = nullptr;
};

class TCBDialog final : public QDialog {
 public:
  TCBDialog(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent);
};

// Opens the dialog the telescope mode asks for, after the telescope's first
// use step (which needs the camera); nothing when that fails.
QDialog* OpenMoveTelescope(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent);

}  // namespace qv
