#pragma once
// A Host that shows nothing and reports no input: for benchmarks, fuzzing
// and other runs without a user.

#include "app/host.h"

namespace qv {

class NullHost : public Host {
 public:
  int showMessage(const MessageBoxRequest&) override { return 1; }
  void openProgress(std::string_view) override {}
  void setProgress(int) override {}
  void closeProgress() override {}
  void setWaitCursor(bool) override {}
  void beep() override {}
  InputEvents pumpEvents() override { return {}; }
  void requestRebuildDisplay() override {}
  void requestRepaint() override {}
};

}  // namespace qv
