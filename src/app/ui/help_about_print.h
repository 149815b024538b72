#pragma once
// "Help in using Qel_Vesk_USB", "About Qel_Vesk_USB" (dialog 15), print
// setup and print.

#include <QDialog>
#include <QString>

#include "app/program_state.h"

class QPrinter;

namespace qv {

class Host;

inline constexpr const char* kHelpPage = "qrc:/help/index.html";

// Opens the manual in a help window; "WinHelp failed!" when it cannot be read.
void ShowHelpWindow(Host& host, QWidget* parent, const QString& page = kHelpPage);

class TAboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutDialog(QWidget* parent = nullptr);
};

// Printing goes through one printer object kept for the run.
QPrinter& ProgramPrinter();
void ShowPrintSetup(QWidget* parent);
// Prints the normal temporary bitmap, scaled to the page.
void PrintDisplayBitmap(const ProgramState& state, QWidget* parent);

}  // namespace qv
