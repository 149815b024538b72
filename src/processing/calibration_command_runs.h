#pragma once
// The operations behind the dark frame, flat field, merge and hot pixel map
// commands, with what their dialogs ask for as arguments.

#include "app/arg_reader.h"

namespace qv {

CommandStatus RunSubtractDarkFrame(CommandContext& c, const CommandArgs& args);
CommandStatus RunApplyFlatField(CommandContext& c, const CommandArgs& args);
CommandStatus RunAutoDark(CommandContext& c, const CommandArgs& args);
CommandStatus RunAutoFlat(CommandContext& c, const CommandArgs& args);
CommandStatus RunStartMerge(CommandContext& c, const CommandArgs& args);
CommandStatus RunMergeMark(CommandContext& c, const CommandArgs& args);
CommandStatus RunMergeImages(CommandContext& c, const CommandArgs& args);
CommandStatus RunCancelMerge(CommandContext& c, const CommandArgs& args);
CommandStatus RunFindHotPixels(CommandContext& c, const CommandArgs& args);
CommandStatus RunSaveHotPixelMap(CommandContext& c, const CommandArgs& args);
CommandStatus RunApplyHotPixelMap(CommandContext& c, const CommandArgs& args);

}  // namespace qv
