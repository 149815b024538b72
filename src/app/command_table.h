#pragma once
// The program's commands, each one entry: menu text, status-bar hint, menu,
// tool bar place and icon, accelerators, command-line name and usage, the
// operation itself and when it is enabled or checked. The menus, tool bar,
// accelerators, enablers, check marks and the command-line tool are all built
// from this one table, so a command exists once and every front end reaches
// the same code.
//
// A command that asks for parameters in the window gets them from a dialog
// keyed by its id on the Qt side; the dialog fills the same arguments the
// command-line tool takes. Window operations (scrolling, fit, print, the
// clipboard) have no `run` here and are attached by the window.

#include <array>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "app/clock.h"
#include "app/command_args.h"
#include "app/command_id.h"
#include "app/host.h"
#include "app/program_state.h"

namespace qv {

enum class MenuGroup { File, Edit, View, Camera, Guiding, Process, Filters, Colour, Help, Popup, Internal, None };

// What a command did. Usage: its arguments were missing or malformed and
// nothing was done. Refused: it could not be done in the current state or the
// operation failed (the reason has been shown or written).
enum class [[nodiscard]] CommandStatus{Done, Refused, Usage};

struct CommandContext {
  ProgramState& state;
  Host& host;
  Clock& clock;
  std::ostream& out;  // what the command prints (the window discards it)
  std::ostream& err;  // one-line notes and argument errors
  // Arguments are checked only; nothing runs. The command-line tool checks
  // every line this way before the first one runs.
  bool checkOnly = false;
};

using CommandRun = CommandStatus (*)(CommandContext& context, const CommandArgs& args);
using StatePredicate = bool (*)(const ProgramState& state);

struct CommandEntry {
  CommandId id;
  std::string_view menuText;  // the item's text before its key; empty off the menus (see MenuText)
  std::string_view hint;      // status-bar text while the item is highlighted
  MenuGroup group = MenuGroup::None;
  bool separatorBefore = false;  // a separator line above the item in its menu
  std::string_view cliName = {};
  std::string_view cliUsage = {};    // arguments, after the name
  std::string_view cliHelp = {};     // one or two lines for --help
  CommandRun run = nullptr;          // nothing yet: the command shows greyed out
  StatePredicate enabled = nullptr;  // nothing: always enabled
  StatePredicate checked = nullptr;  // nothing: no check mark
  bool windowOnly = false;           // a window operation without meaning in a script
  // Accelerators as the menu spells them ("Ctl+O", "CTL+S", a trailing blank
  // kept); the first one follows a tab in the menu text unless keysOffMenu.
  std::array<std::string_view, 2> keys = {};
  bool keysOffMenu = false;
  int toolBarPlace = 0;           // order on the tool bar; 0 when not on it
  bool toolBarGapBefore = false;  // a separator before the button
};

// Every command, in menu order within each menu.
std::span<const CommandEntry> Commands();
const CommandEntry* FindCommand(CommandId id);
const CommandEntry* FindCommandByCliName(std::string_view name);

// The menu item's whole text: the label, then a tab and the first key.
std::string MenuText(const CommandEntry& entry);
// A key as the menu spells it, in the form a key binding takes ("Ctl+O" and
// "CTL+O" are "Ctrl+O"; no blanks).
std::string PortableKey(std::string_view shown);

// Title of a menu ("&File", ...); empty for the pop-up and unlisted ones.
std::string_view MenuTitle(MenuGroup group);

// Whether the command may run now: it has an operation and its enabler
// allows it.
[[nodiscard]] bool CommandEnabled(const CommandEntry& entry, const ProgramState& state);

// Runs a command with its arguments. A command not allowed in the current
// state is refused with a note on `err`. After a run the display work the
// window would do follows (a requested rebuild, the paint's black level).
CommandStatus RunCommand(const CommandEntry& entry, CommandContext& context, const CommandArgs& args);

// Buttons 1901 and 1902 stand for the two states of the display stretch: the
// bar holds the one for the state the user can switch to. The telescope
// button is on the bar only while a telescope guiding mode is chosen.
inline constexpr CommandId kToolBarTelescopeButton = CommandId::TelescopeControl;

inline constexpr std::string_view kInitialStatusText = "Qel Vesk Camera Control and Image processing program";

}  // namespace qv
