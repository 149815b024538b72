#pragma once
// Guiding on the guider camera: a reference frame, two stabilising frames,
// then one correction per guider frame, sent to the mount or to the AO unit.
// A star that cannot be found ends the run. Stepped by the clock.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "app/clock.h"
#include "app/host.h"
#include "app/operation.h"
#include "app/program_state.h"
#include "guiding/guide_decision.h"
#include "guiding/main_guiding.h"

namespace qv {

inline constexpr std::string_view kNoGuidanceMode = "Sorry, No guidance mode selected";
inline constexpr std::uint32_t kGuiderAxisPauseMs = 70;

enum class GuideTarget { Mount, Ao };

struct GuiderGuidingOptions {
  std::uint32_t exposureMs = 1000;
  int frames = 0;  // corrected frames; 0: until stopped
  GuideTarget target = GuideTarget::Mount;
  bool sendCorrections = true;
};

// Exposes and reads one guider frame: flush, wait, read.
bool ReadFreshGuiderFrame(ProgramState& state, Host& host, Clock& clock, std::uint32_t exposureMs);

class GuiderGuidingOperation final : public Operation {
 public:
  using FrameDone = std::function<void(const GuideFrameRecord&)>;
  GuiderGuidingOperation(ProgramState& state, Host& host, Clock& clock, GuiderGuidingOptions options,
                         FrameDone frameDone = {});

  WakeTime start(std::uint32_t nowMs) override;
  WakeTime step(std::uint32_t nowMs) override;
  void cancel() override;
  void input(OperationInput event) override;

  const std::vector<GuideFrameRecord>& frames() const { return frames_; }
  bool failed() const { return failed_; }

 private:
  WakeTime startFrame();
  WakeTime finish(bool failed);
  bool correct(GuideFrameRecord& record);

  ProgramState& state_;
  Host& host_;
  Clock& clock_;
  GuiderGuidingOptions options_;
  FrameDone frameDone_;
  StarPosition reference_;
  bool referenceTaken_ = false;
  bool running_ = false;
  bool failed_ = false;
  bool stopRequested_ = false;
  bool logFailed_ = false;
  std::vector<GuideFrameRecord> frames_;
};

}  // namespace qv
