#pragma once
// The command-line tool's user interface: boxes go to stderr, numbered ones
// as "message N: TEXT"; progress and cursors are silent.

#include <ostream>

#include "app/host.h"

namespace qv {

class CliHost final : public Host {
 public:
  explicit CliHost(std::ostream& err) : err_(err) {}

  int showMessage(const MessageBoxRequest& box) override;
  void openProgress(std::string_view) override {}
  void setProgress(int) override {}
  void closeProgress() override {}
  void setWaitCursor(bool) override {}
  void beep() override {}
  InputEvents pumpEvents() override { return {}; }
  void requestRebuildDisplay() override { rebuildRequested = true; }
  void requestRepaint() override { repaintRequested = true; }

  // What the last command asked of the display; the runner does it after the command.
  bool rebuildRequested = false;
  bool repaintRequested = false;

 private:
  std::ostream& err_;
};

}  // namespace qv
