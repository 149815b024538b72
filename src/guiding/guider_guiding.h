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
[[nodiscard]] bool ReadFreshGuiderFrame(ProgramState& state, Host& host, Clock& clock, std::uint32_t exposureMs);

// Guiding on the guider camera one frame at a time, shared by the guiding
// loop and the exposure run that guides while the main camera exposes:
// begin() checks that guiding can start, each frame is exposeFrame() and,
// once its exposure has passed, readFrame(); end() releases the outputs and
// brings the AO unit back to centre.
class GuiderGuidingSession {
 public:
  using FrameDone = std::function<void(const GuideFrameRecord&)>;
  GuiderGuidingSession(ProgramState& state, Host& host, Clock& clock, GuiderGuidingOptions options,
                       FrameDone frameDone = {});

  // False, with the message shown, without a guidance mode, a guider star or
  // a telescope that answers.
  [[nodiscard]] bool begin();
  // Starts a guider exposure; false when the camera does not take it.
  [[nodiscard]] bool exposeFrame();
  // Reads the frame exposed and measures it: the first frame gives the
  // reference, each later one a correction.
  GuideStepResult readFrame();
  void end();

  [[nodiscard]] bool running() const { return running_; }
  [[nodiscard]] bool referenceTaken() const { return referenceTaken_; }
  std::uint32_t exposureMs() const { return options_.exposureMs; }
  const std::vector<GuideFrameRecord>& frames() const { return frames_; }

 private:
  [[nodiscard]] bool correct(GuideFrameRecord& record);

  ProgramState& state_;
  Host& host_;
  Clock& clock_;
  GuiderGuidingOptions options_;
  FrameDone frameDone_;
  StarPosition reference_;
  bool referenceTaken_ = false;
  bool running_ = false;
  bool logFailed_ = false;
  std::vector<GuideFrameRecord> frames_;
};

// The guider camera guiding on its own until stopped, a frame count reached
// or the star lost. While it runs, a photo cannot ask for guiding of its own.
class GuiderGuidingOperation final : public Operation {
 public:
  using FrameDone = GuiderGuidingSession::FrameDone;
  GuiderGuidingOperation(ProgramState& state, Host& host, Clock& clock, GuiderGuidingOptions options,
                         FrameDone frameDone = {});

  WakeTime start(std::uint32_t nowMs) override;
  WakeTime step(std::uint32_t nowMs) override;
  void cancel() override;
  void input(OperationInput event) override;

  // Called once the reference frame has been measured: the dialog then
  // shows that guiding is stabilising, before the first correction.
  void onReferenceTaken(std::function<void()> taken) { referenceTakenDone_ = std::move(taken); }

  const std::vector<GuideFrameRecord>& frames() const { return session_.frames(); }
  [[nodiscard]] bool referenceTaken() const { return session_.referenceTaken(); }
  [[nodiscard]] bool failed() const { return failed_; }

 private:
  WakeTime startFrame();
  WakeTime finish(bool failed);

  ProgramState& state_;
  Clock& clock_;
  GuiderGuidingOptions options_;
  GuiderGuidingSession session_;
  std::function<void()> referenceTakenDone_;
  bool running_ = false;
  bool failed_ = false;
  bool stopRequested_ = false;
};

}  // namespace qv
