#pragma once
// The operations behind the program's own commands: settings, camera type,
// frame geometry, messages, history and undo, the display options, mirror and
// flip, and reading the current frame's pixels.

#include "app/arg_reader.h"
#include "app/display_commands.h"
#include "app/undo_commands.h"

namespace qv {

CommandStatus RunSettingsShow(CommandContext& c, const CommandArgs& args);
CommandStatus RunSettingsSet(CommandContext& c, const CommandArgs& args);
CommandStatus RunSettingsLoad(CommandContext& c, const CommandArgs& args);
CommandStatus RunSettingsSave(CommandContext& c, const CommandArgs& args);
CommandStatus RunSetCameraType(CommandContext& c, const CommandArgs& args);
CommandStatus RunShowGeometry(CommandContext& c, const CommandArgs& args);
CommandStatus RunShowMessage(CommandContext& c, const CommandArgs& args);
CommandStatus RunProcessingHistory(CommandContext& c, const CommandArgs& args);
inline constexpr CommandRun RunUndoLastFilter = RunWithoutArguments<UndoLastFilter>;
CommandStatus RunUndoLastColourFilter(CommandContext& c, const CommandArgs& args);

CommandStatus RunShowImageCentre(CommandContext& c, const CommandArgs& args);
CommandStatus RunFalseColour(CommandContext& c, const CommandArgs& args);
CommandStatus RunAutoContrast(CommandContext& c, const CommandArgs& args);
CommandStatus RunStretchDisplayToggle(CommandContext& c, const CommandArgs& args);
CommandStatus RunStretchDisplayOn(CommandContext& c, const CommandArgs& args);
CommandStatus RunStretchDisplayOff(CommandContext& c, const CommandArgs& args);
CommandStatus RunRebuildDisplay(CommandContext& c, const CommandArgs& args);
inline constexpr CommandRun RunMirrorImage = RunWithoutArguments<MirrorImage>;
inline constexpr CommandRun RunFlipImage = RunWithoutArguments<FlipImage>;
CommandStatus RunExportDisplay(CommandContext& c, const CommandArgs& args);
CommandStatus RunChannelView(CommandContext& c, const CommandArgs& args);
CommandStatus RunDisplayStretchPower(CommandContext& c, const CommandArgs& args);

// The chosen buffer of the current frame as raw 16-bit little-endian pixels,
// and the values at one pixel.
CommandStatus RunDumpImage(CommandContext& c, const CommandArgs& args);
CommandStatus RunPixelValues(CommandContext& c, const CommandArgs& args);

}  // namespace qv
