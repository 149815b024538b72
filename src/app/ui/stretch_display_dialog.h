#pragma once
// The modeless Stretch Display dialog (dialog 21): the display stretch
// switch and its power.

#include <QDialog>
#include <functional>

#include "app/command_id.h"
#include "app/program_state.h"

class QCheckBox;
class QLineEdit;
class QScrollBar;

namespace qv {

class TStretchDisplayDialog : public QDialog {
  Q_OBJECT
 public:
  // `sendCommand` sends a command id to the main window.
  TStretchDisplayDialog(ProgramState& state, std::function<void(CommandId)> sendCommand, QWidget* parent = nullptr);

  // Shows the current state; sends the stretch refresh so a mono image shows the power.
  void refresh();

 signals:
  void closed();

 private:
  void scrollAction(int action);

  ProgramState& state_;
  std::function<void(CommandId)> sendCommand_;
  QCheckBox* activate_;
  QScrollBar* power_;
  QLineEdit* powerText_;
};

}  // namespace qv
