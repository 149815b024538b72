#pragma once
// What an operation needs from the user interface. The Qt program shows real
// boxes and dialogs, the command-line tool writes to stderr, tests record.

#include <string>
#include <string_view>

namespace qv {

enum class MessageIcon { None, Stop, Information, Exclamation, Question };

struct MessageBoxRequest {
  std::string caption;
  std::string text;
  MessageIcon icon = MessageIcon::None;
  int number = -1;  // the numbered message, or -1 for a box shown directly
};

// What the user did while a long operation let the interface run.
struct InputEvents {
  bool keyPressed = false;
  bool leftButtonPressed = false;
  bool rightButtonPressed = false;
  [[nodiscard]] bool any() const { return keyPressed || leftButtonPressed || rightButtonPressed; }
};

class Host {
 public:
  static constexpr int kProgressRange = 256;

  virtual ~Host() = default;

  // Shows a box with an OK button and blocks until it is closed; returns the
  // button pressed (1 for OK).
  virtual int showMessage(const MessageBoxRequest& box) = 0;

  virtual void openProgress(std::string_view caption) = 0;
  virtual void setProgress(int position) = 0;  // 0 to kProgressRange
  virtual void closeProgress() = 0;

  virtual void setWaitCursor(bool on) = 0;
  virtual void beep() = 0;

  // Lets the interface handle its pending events; reports key and mouse
  // presses found among them.
  virtual InputEvents pumpEvents() = 0;

  virtual void requestRebuildDisplay() = 0;
  virtual void requestRepaint() = 0;
};

// Holds the wait cursor for the life of a scope.
class WaitCursor {
 public:
  explicit WaitCursor(Host& host) : host_(host) { host_.setWaitCursor(true); }
  ~WaitCursor() { host_.setWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  Host& host_;
};

}  // namespace qv
