#pragma once
// The guider dialog's "Start": guider frames one after another (the sensor
// cleared first when the dialog asks, exposed, read, darks and filter
// applied, rendered) until "Stop" or a left press, with a second's pause
// between frames when the dialog asks. "Take DarkFrame" is one such frame,
// read without the old dark and kept as the new one. Stepped by the clock.

#include <cstdint>
#include <functional>

#include "app/clock.h"
#include "app/host.h"
#include "app/operation.h"
#include "app/program_state.h"

namespace qv {

inline constexpr std::uint32_t kGuiderPauseMs = 1000;

class GuiderFramesOperation final : public Operation {
 public:
  using FrameDone = std::function<void()>;
  enum class Purpose { Frames, Dark };
  GuiderFramesOperation(ProgramState& state, Host& host, Clock& clock, FrameDone frameDone = {},
                        Purpose purpose = Purpose::Frames);

  WakeTime start(std::uint32_t nowMs) override;
  WakeTime step(std::uint32_t nowMs) override;
  void cancel() override { running_ = false; }
  void input(OperationInput event) override;

  int frames() const { return frames_; }
  [[nodiscard]] bool failed() const { return failed_; }

 private:
  WakeTime startFrame();

  ProgramState& state_;
  Host& host_;
  Clock& clock_;
  FrameDone frameDone_;
  Purpose purpose_;
  std::uint32_t exposureMs_ = 0;
  int frames_ = 0;
  bool running_ = false;
  bool failed_ = false;
  bool stopRequested_ = false;
  bool pausing_ = false;
};

}  // namespace qv
