#include "cli/cli_commands.h"

namespace qv {

const std::vector<CliCommandSpec>& CliCommands() {
  static const std::vector<CliCommandSpec> commands = [] {
    std::vector<CliCommandSpec> all;
    AddFoundationCommands(all);
    AddDisplayCommands(all);
    AddCameraCommands(all);
    AddFilesCommands(all);
    AddProcessingCommands(all);
    return all;
  }();
  return commands;
}

}  // namespace qv
