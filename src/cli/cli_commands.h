#pragma once
// The commands of the command-line tool. Each subsystem adds its own.

#include <ostream>
#include <string_view>
#include <vector>

#include "app/clock.h"
#include "app/host.h"
#include "app/program_state.h"
#include "cli/command_line.h"

namespace qv {

struct CliContext {
  ProgramState& state;
  Host& host;
  Clock& clock;
  std::ostream& out;
  std::ostream& err;
};

struct CliCommandSpec {
  std::string_view name;
  std::string_view usage;  // arguments, after the name
  std::string_view help;   // one or two lines
  // True when the command did what it was asked.
  bool (*run)(CliContext& context, const CliCommand& command);
};

// Every command, in the order --help lists them.
const std::vector<CliCommandSpec>& CliCommands();

// Each subsystem's commands.
void AddFoundationCommands(std::vector<CliCommandSpec>& commands);
void AddDisplayCommands(std::vector<CliCommandSpec>& commands);
void AddCameraCommands(std::vector<CliCommandSpec>& commands);
void AddFilesCommands(std::vector<CliCommandSpec>& commands);
void AddProcessingCommands(std::vector<CliCommandSpec>& commands);

}  // namespace qv
