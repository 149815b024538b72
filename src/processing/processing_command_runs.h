#pragma once
// The operations behind the contrast stretch and filter commands, with the
// parameters their dialogs ask for as arguments.

#include "app/command_table.h"

namespace qv {

CommandStatus RunNormalStretch(CommandContext& c, const CommandArgs& args);
CommandStatus RunPowerLawStretch(CommandContext& c, const CommandArgs& args);
CommandStatus RunSineLawStretch(CommandContext& c, const CommandArgs& args);
CommandStatus RunLogarithmicStretch(CommandContext& c, const CommandArgs& args);
CommandStatus RunAntilogarithmicStretch(CommandContext& c, const CommandArgs& args);
CommandStatus RunInvertToNegative(CommandContext& c, const CommandArgs& args);
CommandStatus RunNonLinearStretch(CommandContext& c, const CommandArgs& args);
CommandStatus RunNonLinearColourStretch(CommandContext& c, const CommandArgs& args);
CommandStatus RunRemoveBackground(CommandContext& c, const CommandArgs& args);
CommandStatus RunUnsharpMask(CommandContext& c, const CommandArgs& args);
CommandStatus RunMedianFilter(CommandContext& c, const CommandArgs& args);
CommandStatus RunGaussianSmoother(CommandContext& c, const CommandArgs& args);
CommandStatus RunWeightedMeanSmoother(CommandContext& c, const CommandArgs& args);
CommandStatus RunHighPassLowPower(CommandContext& c, const CommandArgs& args);
CommandStatus RunHighPassHighPower(CommandContext& c, const CommandArgs& args);
CommandStatus RunSmootherSharper(CommandContext& c, const CommandArgs& args);
CommandStatus RunBasRelief(CommandContext& c, const CommandArgs& args);
CommandStatus RunGradientFilter(CommandContext& c, const CommandArgs& args);
CommandStatus RunAutoProcessNow(CommandContext& c, const CommandArgs& args);

}  // namespace qv
