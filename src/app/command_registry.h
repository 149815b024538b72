#pragma once
// The program's commands: every command id with its menu text, status-bar
// hint, menu and tool bar place, accelerator and command-line name. The menu,
// tool bar, accelerators, enablers and the command-line tool are built from
// this one table, so a command exists once.
//
// Attaching an operation to a command in the Qt program takes one line in
// that subsystem's Register<Subsystem>UiHandlers(CommandHandlers&, UiContext&)
// (src/app/ui/command_handlers.h):
//     handlers[24332] = [&] { OpenImageFile(ui); };
// A command without a handler is shown greyed out.

#include <span>
#include <string_view>

namespace qv {

enum class MenuGroup { File, Edit, View, Camera, Guiding, Process, Filters, Colour, Help, Popup, Internal };

struct CommandInfo {
  int id;
  std::string_view menuText;  // exactly as the menu shows it; empty for internal commands
  std::string_view hint;      // status-bar text while the item is highlighted
  MenuGroup group;
  bool separatorBefore = false;   // a separator line above the item in its menu
  bool checkable = false;         // shows its flag as a check mark
  std::string_view cliName = {};  // the qelvesk-cli command, where there is one
};

// Every command, in menu order within each group.
std::span<const CommandInfo> Commands();
const CommandInfo* FindCommandInfo(int id);

// Title of a menu group ("&File", ...); empty for pop-up and internal ids.
std::string_view MenuTitle(MenuGroup group);

// Tool bar: command ids in order, 0 for a separator.
std::span<const int> ToolBarLayout();
// Buttons 1901 and 1902 stand for the two states of the display stretch: the
// bar holds the one for the state the user can switch to.
inline constexpr int kToolBarTelescopeButton = 24;

// Accelerator table "QEL_VESK_USB", as key sequences in portable text.
struct Accelerator {
  std::string_view keys;  // e.g. "Ctrl+O"
  int id;
};
std::span<const Accelerator> Accelerators();

inline constexpr std::string_view kInitialStatusText = "Qel Vesk Camera Control and Image processing program";

}  // namespace qv
