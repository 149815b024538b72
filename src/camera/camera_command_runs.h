#pragma once
// The camera's single operations as commands: search and open, firmware,
// clear and read-out, guide box and guider frame, cooler, filter wheel, guide
// outputs and the serial relay.

#include "app/command_table.h"

namespace qv {

CommandStatus RunCameraOpen(CommandContext& c, const CommandArgs& args);
CommandStatus RunCameraInfo(CommandContext& c, const CommandArgs& args);
CommandStatus RunFirmware(CommandContext& c, const CommandArgs& args);
CommandStatus RunClearSensor(CommandContext& c, const CommandArgs& args);
CommandStatus RunReadout(CommandContext& c, const CommandArgs& args);
CommandStatus RunGuideBox(CommandContext& c, const CommandArgs& args);
CommandStatus RunGuiderFrame(CommandContext& c, const CommandArgs& args);
CommandStatus RunCooler(CommandContext& c, const CommandArgs& args);
CommandStatus RunCoolerRead(CommandContext& c, const CommandArgs& args);
CommandStatus RunCoolerMonitor(CommandContext& c, const CommandArgs& args);
CommandStatus RunFilter(CommandContext& c, const CommandArgs& args);
CommandStatus RunGuideOutputs(CommandContext& c, const CommandArgs& args);
CommandStatus RunSerialWrite(CommandContext& c, const CommandArgs& args);
CommandStatus RunSerialRead(CommandContext& c, const CommandArgs& args);

}  // namespace qv
