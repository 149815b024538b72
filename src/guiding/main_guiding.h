#pragma once
// Guiding on the main camera: each frame the 128 x 128 guide sub-frame round
// the guide star is exposed and read, the star is found, and the mount is
// pulsed back toward where it stood on the first frame. Stepped by the clock:
// the exposure is a wait, the pulses hold for their length.

#include <cstdint>
#include <functional>
#include <vector>

#include "app/clock.h"
#include "app/host.h"
#include "app/operation.h"
#include "app/program_state.h"
#include "guiding/guide_decision.h"
#include "guiding/guide_subframe.h"

namespace qv {

inline constexpr std::string_view kGuidingTerminated = "AutoGuiding Terminated";
inline constexpr std::string_view kNoGuideStar = "No guiding star selected";

// One guided frame, for the log and the RMS.
struct GuideFrameRecord {
  int frame = 0;  // from 1
  std::uint32_t timeMs = 0;
  StarPosition star;
  GuideDecision decision;  // its errors also for an AO frame
  bool ao = false;
  AoDecision aoDecision;
};

// Root mean square of the frames' drift in pixels (0 for no frames).
double RmsErrorPixels(const std::vector<GuideFrameRecord>& frames);
// The same over the last `count` frames (all when fewer), as the guiding
// dialog shows it.
double RmsOfLastFrames(const std::vector<GuideFrameRecord>& frames, std::size_t count);

// What one guided frame came to.
enum class [[nodiscard]] GuideStepResult{
    Reference,    // the first frame: the star's place to hold, nothing sent
    Corrected,    // measured, and the correction (if any) sent
    StarLost,     // the star could not be found (find centre's message shown)
    DeviceFailed  // the camera or the mount did not take the frame or the correction
};

// One guided frame on the main camera, shared by the guiding loop (on its
// sub-frame) and the exposure run (on each frame it reads): the star is
// found in the frame just read; the first frame gives the reference, each
// later one a correction toward it, logged and recorded.
class MainGuidingSession {
 public:
  using FrameDone = std::function<void(const GuideFrameRecord&)>;
  MainGuidingSession(ProgramState& state, Host& host, Clock& clock, bool sendCorrections, FrameDone frameDone = {});

  // False without a guidance mode (silently), without a guide star or a
  // telescope that answers (with the message).
  [[nodiscard]] bool begin();
  GuideStepResult step();
  const std::vector<GuideFrameRecord>& frames() const { return frames_; }

 private:
  ProgramState& state_;
  Host& host_;
  Clock& clock_;
  bool sendCorrections_;
  FrameDone frameDone_;
  StarPosition reference_;
  bool referenceTaken_ = false;
  bool logFailed_ = false;
  std::vector<GuideFrameRecord> frames_;
};

struct MainGuidingOptions {
  std::uint32_t exposureMs = 1000;
  int frames = 0;               // 0: until stopped
  bool sendCorrections = true;  // false measures the drift without guiding
};

class MainGuidingOperation final : public Operation {
 public:
  using FrameDone = std::function<void(const GuideFrameRecord&)>;
  MainGuidingOperation(ProgramState& state, Host& host, Clock& clock, MainGuidingOptions options,
                       FrameDone frameDone = {});

  WakeTime start(std::uint32_t nowMs) override;
  WakeTime step(std::uint32_t nowMs) override;
  void cancel() override;
  void input(OperationInput event) override;

  const std::vector<GuideFrameRecord>& frames() const { return session_.frames(); }
  [[nodiscard]] bool failed() const { return failed_; }

 private:
  WakeTime startFrame();
  WakeTime finish(bool failed);

  ProgramState& state_;
  Host& host_;
  Clock& clock_;
  MainGuidingOptions options_;
  MainGuidingSession session_;
  SubFramePlacement placement_;
  bool running_ = false;
  bool failed_ = false;
  bool stopRequested_ = false;
};

}  // namespace qv
