#include "guiding/main_guiding.h"

#include <cmath>

#include "app/messages.h"
#include "camera/camera_commands.h"
#include "guiding/find_centre.h"
#include "guiding/guide_log.h"
#include "guiding/guide_pulses.h"
#include "guiding/guide_socket.h"
#include "guiding/telescope_commands.h"

namespace qv {

double RmsErrorPixels(const std::vector<GuideFrameRecord>& frames) {
  if (frames.empty()) return 0;
  double sum = 0;
  for (const GuideFrameRecord& f : frames) {
    const double x = f.decision.error.column / 1000.0, y = f.decision.error.row / 1000.0;
    sum += x * x + y * y;
  }
  return std::sqrt(sum / static_cast<double>(frames.size()));
}

double RmsOfLastFrames(const std::vector<GuideFrameRecord>& frames, std::size_t count) {
  const std::size_t from = frames.size() > count ? frames.size() - count : 0;
  return RmsErrorPixels(
      std::vector<GuideFrameRecord>(frames.begin() + static_cast<std::ptrdiff_t>(from), frames.end()));
}

MainGuidingSession::MainGuidingSession(ProgramState& state, Host& host, Clock& clock, bool sendCorrections,
                                       FrameDone frameDone)
    : state_(state), host_(host), clock_(clock), sendCorrections_(sendCorrections), frameDone_(std::move(frameDone)) {}

bool MainGuidingSession::begin() {
  if (state_.settings.telescopeGuiding == 'n') return false;
  GuidingState& g = state_.guiding;
  if (!g.guideStarChosen) {
    host_.showMessage({std::string(kMessageCaption), std::string(kNoGuideStar), MessageIcon::None});
    return false;
  }
  if (!PrepareTelescope(state_, host_, clock_, true)) return false;
  referenceTaken_ = false;
  g.lastXDirection = g.lastYDirection = 0;
  return true;
}

GuideStepResult MainGuidingSession::step() {
  GuidingState& g = state_.guiding;
  const int passes = referenceTaken_ ? 1 : 2;
  for (int i = 0; i < passes; ++i) {
    if (!FindCentre(state_, host_, g.guideStar.x, g.guideStar.y, CentreSource::MainCamera)) {
      return GuideStepResult::StarLost;
    }
  }
  if (!referenceTaken_) {
    reference_ = g.guideStar;
    referenceTaken_ = true;
  }
  GuideFrameRecord record{static_cast<int>(frames_.size()) + 1, clock_.milliseconds(), g.guideStar, {}};
  record.decision = DecideMainCorrection(state_.settings, g, reference_, g.guideStar);
  RecordDecision(g, record.decision);
  if (sendCorrections_ && !SendCorrection(state_, host_, clock_, record.decision, 0))
    return GuideStepResult::DeviceFailed;
  frames_.push_back(record);
  if (sendCorrections_) LogGuidedFrame(state_, host_, clock_.now(), record, logFailed_);
  if (frameDone_) frameDone_(record);
  return frames_.size() == 1 ? GuideStepResult::Reference : GuideStepResult::Corrected;
}

MainGuidingOperation::MainGuidingOperation(ProgramState& state, Host& host, Clock& clock, MainGuidingOptions options,
                                           FrameDone frameDone)
    : state_(state),
      host_(host),
      clock_(clock),
      options_(options),
      session_(state, host, clock, options.sendCorrections, std::move(frameDone)) {}

WakeTime MainGuidingOperation::start(std::uint32_t) {
  if (!session_.begin()) return finish(true);
  GuidingState& g = state_.guiding;
  running_ = true;
  g.mainGuidingRunning = true;
  placement_ = StartGuideSubFrame(state_, host_);
  // The sub-frame is read at exactly its origin, so the star is looked for at
  // its place inside it.
  g.guideStar = {placement_.starX, placement_.starY, 0, 0};
  return startFrame();
}

WakeTime MainGuidingOperation::startFrame() {
  if (!ClearSensor(state_, host_)) return finish(true);
  return clock_.milliseconds() + options_.exposureMs;
}

WakeTime MainGuidingOperation::step(std::uint32_t) {
  if (!running_) return kOperationFinished;
  if (stopRequested_) return finish(false);
  if (!ReadMainWindow128(state_, host_, placement_.originX, placement_.originY, options_.exposureMs)) {
    return finish(true);
  }
  host_.requestRebuildDisplay();
  const GuideStepResult result = session_.step();
  if (result == GuideStepResult::StarLost || result == GuideStepResult::DeviceFailed) return finish(true);
  if (stopRequested_ || (options_.frames > 0 && static_cast<int>(frames().size()) >= options_.frames)) {
    return finish(false);
  }
  return startFrame();
}

WakeTime MainGuidingOperation::finish(bool failed) {
  failed_ = failed_ || failed;
  if (!running_) return kOperationFinished;
  running_ = false;
  GuidingState& g = state_.guiding;
  g.mainGuidingRunning = false;
  ReleaseSocketOnExit(state_, host_);
  host_.showMessage({std::string(kMessageCaption), std::string(kGuidingTerminated), MessageIcon::None});
  EndGuideSubFrame(state_);
  host_.requestRebuildDisplay();
  return kOperationFinished;
}

void MainGuidingOperation::cancel() { finish(false); }

void MainGuidingOperation::input(OperationInput event) {
  if (event == OperationInput::KeyPress) stopRequested_ = true;
}

}  // namespace qv
