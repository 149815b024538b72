#include "cli/cli_host.h"

namespace qv {

int CliHost::showMessage(const MessageBoxRequest& box) {
  if (box.number >= 0) {
    err_ << "message " << box.number << ": " << box.text << '\n';
  } else if (box.caption.empty()) {
    err_ << box.text << '\n';
  } else {
    err_ << box.caption << ": " << box.text << '\n';
  }
  return 1;
}

}  // namespace qv
