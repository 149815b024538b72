#pragma once
// What the window adds to the command table: window operations (scrolling,
// fit, print, clipboard, help) and the dialogs that ask for a command's
// arguments before it runs. Each subsystem fills the map in its own
// Register<Subsystem>UiCommands function, one entry per command id; the main
// frame calls them all once at start. A command with neither an entry here
// nor an operation in the table stays greyed out; one with an operation but
// no entry here runs at once without arguments.

#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "app/clock.h"
#include "app/command_table.h"
#include "app/program_state.h"

class QWidget;

namespace qv {

class QtHost;
class TQel_VeskFrame;
class TQel_VeskWindow;

using UiCommands = std::map<CommandId, std::function<void()>>;

// A dialog that asks for a command's arguments: nothing when the user
// cancelled (or the command was refused before anything was asked).
using CommandDialog = std::optional<CommandArgs> (*)(ProgramState& state, QtHost& host, QWidget* parent);
using CommandDialogs = std::vector<std::pair<CommandId, CommandDialog>>;

struct UiContext {
  ProgramState& state;
  QtHost& host;
  Clock& clock;
  TQel_VeskFrame& frame;
  TQel_VeskWindow& window;
};

// Runs a table command with the arguments a dialog gathered, then brings the
// window up to date (picture, caption). Argument problems cannot come from a
// dialog; they are reported like any other note of the command, which the
// window does not show.
CommandStatus RunFromWindow(UiContext& ui, CommandId id, CommandArgs args = {});

// Attaches each dialog: the command asks first, then runs with the answers.
void AddCommandDialogs(UiCommands& commands, UiContext& ui, const CommandDialogs& dialogs);

// Arguments as a dialog fills them: key=value options, then positional ones.
CommandArgs WindowArgs(std::initializer_list<std::pair<std::string, std::string>> options,
                       std::initializer_list<std::string> positional = {});

// The main window's own commands: display, view, edit, help, print, exit.
void RegisterDisplayUiCommands(UiCommands& commands, UiContext& ui);
// The file, stretch and filter commands that ask for something first.
void RegisterFilesUiCommands(UiCommands& commands, UiContext& ui);
void RegisterProcessingUiCommands(UiCommands& commands, UiContext& ui);
// The guiding menu's dialogs (Move Telescope).
void RegisterGuidingUiCommands(UiCommands& commands, UiContext& ui);
// The histogram, photometry, plots and pixel values dialogs.
void RegisterAnalysisUiCommands(UiCommands& commands, UiContext& ui);
// The Set Program Defaults dialog.
void RegisterDefaultsUiCommands(UiCommands& commands, UiContext& ui);
// The colour commands that ask for something first.
void RegisterColourUiCommands(UiCommands& commands, UiContext& ui);
// The label and sub-frame dialogs; the dark, flat, merge and hot pixel map
// dialogs.
void RegisterMouseUiCommands(UiCommands& commands, UiContext& ui);
void RegisterCalibrationUiCommands(UiCommands& commands, UiContext& ui);
// The camera control dialog and the exposure run it starts.
void RegisterCameraUiCommands(UiCommands& commands, UiContext& ui);

}  // namespace qv
