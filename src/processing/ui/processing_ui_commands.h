#pragma once
// The stretch and filter commands that ask for their parameters in a dialog
// before they run; the others run at once.

#include "app/ui/command_handlers.h"

namespace qv {

std::optional<CommandArgs> AskNormalStretch(ProgramState& state, QtHost& host, QWidget* parent);
std::optional<CommandArgs> AskPowerLawStretch(ProgramState& state, QtHost& host, QWidget* parent);
std::optional<CommandArgs> AskNonLinearStretch(ProgramState& state, QtHost& host, QWidget* parent);
std::optional<CommandArgs> AskNonLinearColourStretch(ProgramState& state, QtHost& host, QWidget* parent);
std::optional<CommandArgs> AskUnsharpMask(ProgramState& state, QtHost& host, QWidget* parent);
std::optional<CommandArgs> AskMedianFilter(ProgramState& state, QtHost& host, QWidget* parent);

const CommandDialogs& ProcessingDialogs();

}  // namespace qv
