// Attaches the file, stretch and filter commands to the main window.

#include "app/ui/command_handlers.h"
#include "app/ui/main_window.h"
#include "files/ui/files_ui_commands.h"
#include "processing/ui/processing_ui_commands.h"

namespace qv {

namespace {

// "Non-Linear Colour Stretch" stays greyed until the program can make
// colour images.
constexpr int kNonLinearColourStretch = 128;

}  // namespace

void RegisterFilesUiHandlers(CommandHandlers& handlers, UiContext& ui) {
  for (const auto& [id, run] : FilesUiCommands()) {
    handlers.emplace(id, [&ui, run = run] { run(ui.state, ui.host, &ui.frame); });
  }
}

void RegisterProcessingUiHandlers(CommandHandlers& handlers, UiContext& ui) {
  for (const auto& entry : ProcessingUiCommands()) {
    if (entry.id == kNonLinearColourStretch) continue;
    handlers.emplace(entry.id, [&ui, run = entry.run] { run(ui.state, ui.host, &ui.frame); });
  }
}

}  // namespace qv
