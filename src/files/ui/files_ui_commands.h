#pragma once
// The file menu commands of the Qt program: one entry per command id, and a
// table that attaches them to the menu.

#include <utility>
#include <vector>

#include "app/program_state.h"
#include "app/ui/qt_host.h"

class QWidget;

namespace qv {

using FilesUiCommand = void (*)(ProgramState& state, QtHost& host, QWidget* parent);

void RunOpenCommand(ProgramState& state, QtHost& host, QWidget* parent);                  // 24332
void RunLoadHotPixelMapCommand(ProgramState& state, QtHost& host, QWidget* parent);       // 32102
void RunSaveCommand(ProgramState& state, QtHost& host, QWidget* parent);                  // 24333
void RunSaveTiffCommand(ProgramState& state, QtHost& host, QWidget* parent);              // 24334
void RunSaveFitsCommand(ProgramState& state, QtHost& host, QWidget* parent);              // 24335
void RunSaveRgbFitsCommand(ProgramState& state, QtHost& host, QWidget* parent);           // 133
void RunQuickSaveCommand(ProgramState& state, QtHost& host, QWidget* parent);             // 24336
void RunLoadNextAutosavedCommand(ProgramState& state, QtHost& host, QWidget* parent);     // 24337
void RunSaveFlatCommand(ProgramState& state, QtHost& host, QWidget* parent);              // 127
void RunDeleteFileCommand(ProgramState& state, QtHost& host, QWidget* parent);            // 13
void RunEditAutosaveFitsTextCommand(ProgramState& state, QtHost& host, QWidget* parent);  // 19
void RunFitsDetailsCommand(ProgramState& state, QtHost& host, QWidget* parent);           // 20
void RunSelectDarkCommand(ProgramState& state, QtHost& host, QWidget* parent);            // 104
void RunSelectFlatCommand(ProgramState& state, QtHost& host, QWidget* parent);            // 122
void RunAutoProcessingCommand(ProgramState& state, QtHost& host, QWidget* parent);        // 24324
void RunProcessingHistoryCommand(ProgramState& state, QtHost& host, QWidget* parent);     // 17

// Every command above as (command id, function).
const std::vector<std::pair<int, FilesUiCommand>>& FilesUiCommands();

}  // namespace qv
