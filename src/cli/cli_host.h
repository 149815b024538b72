#pragma once
// The command-line tool's user interface: boxes go to stderr, numbered ones
// as "message N: TEXT"; progress, cursors and input are silent. A requested
// display rebuild is remembered for the command runner.

#include <ostream>

#include "app/null_host.h"

namespace qv {

class CliHost final : public NullHost {
 public:
  explicit CliHost(std::ostream& err) : err_(err) {}

  int showMessage(const MessageBoxRequest& box) override;
  void requestRebuildDisplay() override { rebuildRequested = true; }
  void requestRepaint() override { repaintRequested = true; }

  // What the last command asked of the display; the runner does it after the command.
  bool rebuildRequested = false;
  bool repaintRequested = false;

 private:
  std::ostream& err_;
};

}  // namespace qv
