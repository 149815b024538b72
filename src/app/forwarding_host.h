#pragma once
// A Host that passes every call on to another one. A command-line command
// derives from it to stand in for what only a user at the window can do
// (a key or button press at a chosen moment, a repaint that prints).

#include "app/host.h"

namespace qv {

class ForwardingHost : public Host {
 public:
  explicit ForwardingHost(Host& inner) : inner_(inner) {}

  int showMessage(const MessageBoxRequest& box) override { return inner_.showMessage(box); }
  void openProgress(std::string_view caption) override { inner_.openProgress(caption); }
  void setProgress(int position) override { inner_.setProgress(position); }
  void closeProgress() override { inner_.closeProgress(); }
  void setWaitCursor(bool on) override { inner_.setWaitCursor(on); }
  void beep() override { inner_.beep(); }
  InputEvents pumpEvents() override { return inner_.pumpEvents(); }
  void requestRebuildDisplay() override { inner_.requestRebuildDisplay(); }
  void requestRepaint() override { inner_.requestRepaint(); }

 private:
  Host& inner_;
};

}  // namespace qv
