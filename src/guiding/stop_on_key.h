#pragma once
// Device work the user may end with a key: a key press cancels the wrapped
// operation at once (its outputs released as at a normal end). Mouse presses
// elsewhere in the window do not end it.

#include "app/operation.h"

namespace qv {

class StopOnKey final : public Operation {
 public:
  explicit StopOnKey(Operation& inner) : inner_(inner) {}

  WakeTime start(std::uint32_t nowMs) override { return stopped_ ? kOperationFinished : inner_.start(nowMs); }
  WakeTime step(std::uint32_t nowMs) override { return stopped_ ? kOperationFinished : inner_.step(nowMs); }
  void cancel() override {
    stopped_ = true;
    inner_.cancel();
  }
  void input(OperationInput event) override {
    if (event == OperationInput::KeyPress) cancel();
  }

 private:
  Operation& inner_;
  bool stopped_ = false;
};

}  // namespace qv
