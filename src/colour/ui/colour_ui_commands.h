#pragma once
// The colour commands that ask for something in a dialog before they run.

#include "app/ui/command_handlers.h"

namespace qv {

std::optional<CommandArgs> AskSynthesizeColour(ProgramState& state, QtHost& host, QWidget* parent);
std::optional<CommandArgs> AskSingleFilter(ProgramState& state, QtHost& host, QWidget* parent);
std::optional<CommandArgs> AskColourBalance(ProgramState& state, QtHost& host, QWidget* parent);
std::optional<CommandArgs> AskChromatism(ProgramState& state, QtHost& host, QWidget* parent);

const CommandDialogs& ColourDialogs();

}  // namespace qv
