#pragma once
// Commands of guiding itself: one frame's decision shown without sending,
// training, and guiding runs.

#include "app/command_table.h"

namespace qv {

CommandStatus RunGuideStep(CommandContext& c, const CommandArgs& args);
CommandStatus RunTrain(CommandContext& c, const CommandArgs& args);
CommandStatus RunGuide(CommandContext& c, const CommandArgs& args);
CommandStatus RunGuidingShow(CommandContext& c, const CommandArgs& args);
CommandStatus RunGuiderExpose(CommandContext& c, const CommandArgs& args);
CommandStatus RunGuiderDark(CommandContext& c, const CommandArgs& args);

}  // namespace qv
