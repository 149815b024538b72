#pragma once
// The operations behind the mouse-mode commands, the click the window would
// deliver, the Sub-Frame Selection size and the image label.

#include "app/arg_reader.h"

namespace qv {

CommandStatus RunPickGuideStar(CommandContext& c, const CommandArgs& args);
CommandStatus RunFocusFrameCentre(CommandContext& c, const CommandArgs& args);
CommandStatus RunDefaultFocusFrameCentre(CommandContext& c, const CommandArgs& args);
CommandStatus RunPickSubFrame(CommandContext& c, const CommandArgs& args);
CommandStatus RunDefaultSubFrameCentre(CommandContext& c, const CommandArgs& args);
CommandStatus RunSubFrameSelection(CommandContext& c, const CommandArgs& args);
CommandStatus RunMouseMode(CommandContext& c, const CommandArgs& args);
CommandStatus RunClick(CommandContext& c, const CommandArgs& args);
CommandStatus RunLabel(CommandContext& c, const CommandArgs& args);

}  // namespace qv
