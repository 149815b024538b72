#pragma once
// The Set Program Defaults editor for scripts: every control of the dialog by
// name, set as the dialog sets it, and its "Save Changes".

#include "app/command_table.h"

namespace qv {

CommandStatus RunDefaultsShow(CommandContext& c, const CommandArgs& args);
CommandStatus RunDefaultsSet(CommandContext& c, const CommandArgs& args);
CommandStatus RunDefaultsSave(CommandContext& c, const CommandArgs& args);

}  // namespace qv
