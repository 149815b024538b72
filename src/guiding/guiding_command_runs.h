#pragma once
// Commands of the guiding and telescope side: find centre, the guide
// sub-frame, the LX200 telescope, the autoguider socket and the AO unit.

#include "app/command_table.h"

namespace qv {

CommandStatus RunFindCentre(CommandContext& c, const CommandArgs& args);
CommandStatus RunGuideSubFrame(CommandContext& c, const CommandArgs& args);
CommandStatus RunScopePulse(CommandContext& c, const CommandArgs& args);
CommandStatus RunScopeRate(CommandContext& c, const CommandArgs& args);
CommandStatus RunScopeMove(CommandContext& c, const CommandArgs& args);
CommandStatus RunScopeStop(CommandContext& c, const CommandArgs& args);
CommandStatus RunScopeGoTo(CommandContext& c, const CommandArgs& args);
CommandStatus RunScopeGoToCoords(CommandContext& c, const CommandArgs& args);
CommandStatus RunAoStep(CommandContext& c, const CommandArgs& args);
CommandStatus RunAoCentre(CommandContext& c, const CommandArgs& args);
CommandStatus RunAoCounters(CommandContext& c, const CommandArgs& args);
CommandStatus RunSocketPulse(CommandContext& c, const CommandArgs& args);

}  // namespace qv
