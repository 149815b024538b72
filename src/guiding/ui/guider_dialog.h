#pragma once
// The guider camera dialog (`TGWyDialog`, "Auto Guider Camera Control"):
// a modal view over the guider exposure, dark frame, star selection, the
// trained and default guiding values and the AO unit. Every control calls
// the core and then shows the core's fields again; "Start" and the two
// "Train" buttons run the core's operations from the window's timer, so the
// dialog stays live and "Stop" acts between frames.

#include <QDialog>
#include <map>
#include <memory>

#include "app/clock.h"
#include "app/program_state.h"
#include "guiding/guider_dialog_fields.h"

class QAbstractButton;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace qv {

class QtHost;
class Operation;
class OperationRunner;
class GuiderFrameView;

// How the dialog closed: "Go to Main Camera" or "Start Guiding".
inline constexpr int kGuiderGoToMainResult = 1;
inline constexpr int kGuiderStartGuidingResult = 2;

class TGWyDialog final : public QDialog {
 public:
  TGWyDialog(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent);
  ~TGWyDialog() override;

  // Shows the core state in every field.
  void refresh();
  bool busy() const;

 private:
  void buildExposure(QGridLayout* grid);
  void buildTelescopeTable(QGridLayout* grid);
  void buildAo(QGridLayout* grid);
  void buildButtons(QGridLayout* grid);
  QAbstractButton* toggle(QAbstractButton* button, GuiderToggle which);
  QPushButton* button(int id, const char* text, QWidget* parent);
  void run(std::unique_ptr<Operation> operation);
  void startFrames();
  void train(bool ao);
  void changeDefaults();
  void changeAoDefaults();
  void leave(int result);
  void showPointer(int x, int y);

  ProgramState& state_;
  QtHost& host_;
  Clock& clock_;
  bool refreshing_ = false;
  std::unique_ptr<Operation> operation_;
  std::unique_ptr<OperationRunner> runner_;
  GuiderFrameView* frame_ = nullptr;
  QScrollBar* exposureBar_ = nullptr;
  QScrollBar* stretchBar_ = nullptr;
  std::map<int, QLineEdit*> edits_;
  std::map<int, QAbstractButton*> checks_;
  QPushButton* useDefault_ = nullptr;
};

// Menu 27: the camera and the telescope's first use are checked, then the
// dialog runs modally; its result (0, or one of the two above) goes to
// `closed`, with the dialog's exit request cleared.
void RunGuiderCameraDialog(ProgramState& state, QtHost& host, Clock& clock, QWidget* parent,
                           const std::function<void(int result)>& closed);

}  // namespace qv
