#pragma once
// How the Qt program attaches operations to command ids. Each subsystem
// fills the map in its own Register<Subsystem>UiHandlers function, one line
// per command; the main frame calls them all once at start. A command
// without a handler stays greyed out in the menu and on the tool bar.

#include <functional>
#include <map>

#include "app/program_state.h"

namespace qv {

class QtHost;
class TQel_VeskFrame;
class TQel_VeskWindow;

using CommandHandlers = std::map<int, std::function<void()>>;

struct UiContext {
  ProgramState& state;
  QtHost& host;
  TQel_VeskFrame& frame;
  TQel_VeskWindow& window;
};

// The main window's own commands: display, view, edit, help, print, exit.
void RegisterDisplayUiHandlers(CommandHandlers& handlers, UiContext& ui);

// The file, stretch and filter commands. A command the window already
// handles keeps its handler.
void RegisterFilesUiHandlers(CommandHandlers& handlers, UiContext& ui);
void RegisterProcessingUiHandlers(CommandHandlers& handlers, UiContext& ui);

}  // namespace qv
