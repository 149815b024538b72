#pragma once
// The driver's Host: there is no window, so boxes become log lines for the
// INDI clients (the last one kept, to go with an alert), and no key or mouse
// press ever reaches an operation; clients abort through their own property.

#include <functional>
#include <string>

#include "app/null_host.h"

namespace qv {

class DriverHost final : public NullHost {
 public:
  // A box's text and whether it reports a fault (a stop or exclamation icon).
  std::function<void(const std::string&, bool fault)> say;
  std::string lastMessage;

  int showMessage(const MessageBoxRequest& box) override {
    std::string text = box.text;
    for (char& c : text) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    lastMessage = box.caption.empty() ? text : box.caption + ": " + text;
    if (say) say(lastMessage, box.icon == MessageIcon::Stop || box.icon == MessageIcon::Exclamation);
    return 1;
  }
};

}  // namespace qv
