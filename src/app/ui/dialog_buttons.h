#pragma once
// The row of buttons that closes a dialog, the same in every dialog of the
// program: "OK" (control 1, the default button), "Cancel" (control 2) and,
// where the dialog offers help, "Help" (control 9). Dialogs whose buttons
// carry other words ("Save", "Continue", "Abort") give their texts.

#include <QString>
#include <functional>

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace qv {

struct DialogButtons {
  QString ok = "OK";
  QString cancel = "Cancel";     // empty: the dialog has no cancel button
  std::function<void()> onOk;    // what OK does; the dialog is accepted when unset
  std::function<void()> onHelp;  // set: a "Help" button calls it
};

struct DialogButtonRow {
  QHBoxLayout* layout = nullptr;  // for the dialog to place
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;  // rejects the dialog
  QPushButton* help = nullptr;
};

DialogButtonRow MakeDialogButtonRow(QDialog* dialog, const DialogButtons& buttons = {});

}  // namespace qv
