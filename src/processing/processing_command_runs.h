#pragma once
// The operations behind the contrast stretch and filter commands, with the
// parameters their dialogs ask for as arguments.

#include "app/arg_reader.h"
#include "processing/auto_processing.h"
#include "processing/gradient_filter.h"
#include "processing/kernel_filters.h"
#include "processing/stretch_commands.h"

namespace qv {

// High Pass, Low Power as a menu command: the display is rebuilt after it.
inline void HighPassLowPowerPass(ProgramState& state, Host& host) { HighPassLowPower(state, host); }

CommandStatus RunNormalStretch(CommandContext& c, const CommandArgs& args);
CommandStatus RunPowerLawStretch(CommandContext& c, const CommandArgs& args);
inline constexpr CommandRun RunSineLawStretch = RunWithoutArguments<SineLawStretch>;
inline constexpr CommandRun RunLogarithmicStretch = RunWithoutArguments<LogarithmicStretch>;
inline constexpr CommandRun RunAntilogarithmicStretch = RunWithoutArguments<AntilogarithmicStretch>;
inline constexpr CommandRun RunInvertToNegative = RunWithoutArguments<InvertToNegative>;
CommandStatus RunNonLinearStretch(CommandContext& c, const CommandArgs& args);
CommandStatus RunNonLinearColourStretch(CommandContext& c, const CommandArgs& args);
CommandStatus RunRemoveBackground(CommandContext& c, const CommandArgs& args);
CommandStatus RunUnsharpMask(CommandContext& c, const CommandArgs& args);
CommandStatus RunMedianFilter(CommandContext& c, const CommandArgs& args);
inline constexpr CommandRun RunGaussianSmoother = RunWithoutArguments<GaussianSmoother>;
inline constexpr CommandRun RunWeightedMeanSmoother = RunWithoutArguments<WeightedMeanSmoother>;
inline constexpr CommandRun RunHighPassLowPower = RunWithoutArguments<HighPassLowPowerPass>;
inline constexpr CommandRun RunHighPassHighPower = RunWithoutArguments<HighPassHighPower>;
inline constexpr CommandRun RunSmootherSharper = RunWithoutArguments<SmootherSharper>;
inline constexpr CommandRun RunBasRelief = RunWithoutArguments<BasRelief>;
inline constexpr CommandRun RunGradientFilter = RunWithoutArguments<GradientFilter>;
inline constexpr CommandRun RunAutoProcessNow = RunWithoutArguments<RunAutoProcessing>;

}  // namespace qv
