#pragma once
// qelvesk-cli: options, start-up, then each command line in order on one
// program state.

#include <ostream>
#include <string>
#include <vector>

namespace qv {

inline constexpr int kCliOk = 0;
inline constexpr int kCliCommandFailed = 1;
inline constexpr int kCliUsageError = 2;

// `args` excludes the program name.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

std::string CliHelpText();

}  // namespace qv
