#pragma once
// Runs qelvesk-cli in the test's process and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "support/temp_dir.h"

namespace qv::test {

struct CliOutcome {
  int status = 0;
  std::string out;
  std::string err;
};

// `args` as they follow the program name.
inline CliOutcome RunCliCaptured(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

// The commands on data root `root` with camera model K1C, after `options`.
inline CliOutcome RunCliOnK1C(const TempDir& root, const std::vector<std::string>& commands,
                              const std::vector<std::string>& options = {}) {
  std::vector<std::string> args{"--root", root.str(), "--camera", "K1C"};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), commands.begin(), commands.end());
  return RunCliCaptured(args);
}

}  // namespace qv::test
