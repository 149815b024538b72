#pragma once
// The colour commands as the command table runs them.

#include "app/command_table.h"

namespace qv {

CommandStatus RunSynthesizeColour(CommandContext& c, const CommandArgs& args);
CommandStatus RunMonoExtract(CommandContext& c, const CommandArgs& args);
CommandStatus RunUseRedPixels(CommandContext& c, const CommandArgs& args);
CommandStatus RunUseGreenPixels(CommandContext& c, const CommandArgs& args);
CommandStatus RunUseBluePixels(CommandContext& c, const CommandArgs& args);
CommandStatus RunSingleFilter(CommandContext& c, const CommandArgs& args);
CommandStatus RunAntiAlias(CommandContext& c, const CommandArgs& args);
CommandStatus RunColourBalance(CommandContext& c, const CommandArgs& args);
CommandStatus RunColourHistogram(CommandContext& c, const CommandArgs& args);
CommandStatus RunBalanceColourHistogram(CommandContext& c, const CommandArgs& args);
CommandStatus RunChromatism(CommandContext& c, const CommandArgs& args);
CommandStatus RunLowPassColour(CommandContext& c, const CommandArgs& args);
CommandStatus RunColourOverload(CommandContext& c, const CommandArgs& args);

}  // namespace qv
