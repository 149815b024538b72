#pragma once
// The analysis views as commands: the histogram, photometry of three picked
// points, the row and 3-D plots and the pixel values, each printing what its
// dialog shows.

#include "app/command_table.h"

namespace qv {

CommandStatus RunHistogram(CommandContext& c, const CommandArgs& args);
CommandStatus RunPhotometry(CommandContext& c, const CommandArgs& args);
CommandStatus RunRowPlot(CommandContext& c, const CommandArgs& args);
CommandStatus RunPlot3d(CommandContext& c, const CommandArgs& args);
CommandStatus RunShowValues(CommandContext& c, const CommandArgs& args);

}  // namespace qv
