#pragma once
// Commands of guiding itself: one frame's decision shown without sending.

#include "app/command_table.h"

namespace qv {

CommandStatus RunGuideStep(CommandContext& c, const CommandArgs& args);

}  // namespace qv
