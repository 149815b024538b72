#pragma once
// The operations behind the file commands: open, the saves, autosave, FITS
// header values, reference files and the automatic processing choices. Each
// takes the file the user chose and the choices its dialog would ask for as
// arguments.

#include "app/command_table.h"

namespace qv {

CommandStatus RunOpen(CommandContext& c, const CommandArgs& args);
CommandStatus RunSaveRaw(CommandContext& c, const CommandArgs& args);
CommandStatus RunSaveTiff(CommandContext& c, const CommandArgs& args);
CommandStatus RunSaveFits(CommandContext& c, const CommandArgs& args);
CommandStatus RunSaveRgbFits(CommandContext& c, const CommandArgs& args);
CommandStatus RunSaveFlat(CommandContext& c, const CommandArgs& args);
CommandStatus RunQuickSave(CommandContext& c, const CommandArgs& args);
CommandStatus RunLoadNextAutosaved(CommandContext& c, const CommandArgs& args);
CommandStatus RunDeleteFile(CommandContext& c, const CommandArgs& args);
CommandStatus RunSelectDarkFrame(CommandContext& c, const CommandArgs& args);
CommandStatus RunSelectFlatField(CommandContext& c, const CommandArgs& args);
CommandStatus RunFitsShow(CommandContext& c, const CommandArgs& args);
CommandStatus RunFitsSet(CommandContext& c, const CommandArgs& args);
CommandStatus RunAutosaveFitsText(CommandContext& c, const CommandArgs& args);
CommandStatus RunSetAutoProcessing(CommandContext& c, const CommandArgs& args);

}  // namespace qv
