#pragma once
// Exposure runs, the focus loop and the camera dialog's fields as commands.

#include "app/command_table.h"

namespace qv {

CommandStatus RunExpose(CommandContext& c, const CommandArgs& args);
CommandStatus RunFocus(CommandContext& c, const CommandArgs& args);
CommandStatus RunCameraDialogShow(CommandContext& c, const CommandArgs& args);

}  // namespace qv
