#pragma once
// A Host for tests: records every box, progress step and request.

#include <string>
#include <vector>

#include "app/host.h"

namespace qv::test {

class RecordingHost final : public Host {
 public:
  int showMessage(const MessageBoxRequest& box) override {
    boxes.push_back(box);
    return 1;
  }
  void openProgress(std::string_view caption) override { progressCaptions.emplace_back(caption); }
  void setProgress(int position) override { progressPositions.push_back(position); }
  void closeProgress() override { ++progressClosed; }
  void setWaitCursor(bool on) override { waitCursorDepth += on ? 1 : -1; }
  void beep() override { ++beeps; }
  InputEvents pumpEvents() override {
    ++pumps;
    return pendingInput;
  }
  void requestRebuildDisplay() override { ++rebuilds; }
  void requestRepaint() override { ++repaints; }

  std::vector<MessageBoxRequest> boxes;
  std::vector<std::string> progressCaptions;
  std::vector<int> progressPositions;
  int progressClosed = 0;
  int waitCursorDepth = 0;
  int beeps = 0;
  int pumps = 0;
  int rebuilds = 0;
  int repaints = 0;
  InputEvents pendingInput;
};

}  // namespace qv::test
