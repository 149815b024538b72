#include "guiding/guider_guiding.h"

#include "app/messages.h"
#include "camera/camera_commands.h"
#include "guiding/ao_unit.h"
#include "guiding/find_centre.h"
#include "guiding/guide_log.h"
#include "guiding/guide_pulses.h"
#include "guiding/guide_socket.h"
#include "guiding/guider_exposure.h"
#include "guiding/telescope_commands.h"

namespace qv {

namespace {

SkyDirection FromLetter(char letter) {
  return ParseSkyDirection(std::string_view(&letter, 1)).value_or(SkyDirection::North);
}

}  // namespace

bool ReadFreshGuiderFrame(ProgramState& state, Host& host, Clock& clock, std::uint32_t exposureMs) {
  bool ok = FlushGuider(state, host);
  clock.sleepMs(exposureMs);
  return ReadGuiderFrame(state, host, exposureMs) && ok;
}

GuiderGuidingSession::GuiderGuidingSession(ProgramState& state, Host& host, Clock& clock, GuiderGuidingOptions options,
                                           FrameDone frameDone)
    : state_(state), host_(host), clock_(clock), options_(options), frameDone_(std::move(frameDone)) {}

bool GuiderGuidingSession::begin() {
  const auto box = [this](std::string_view text) {
    host_.showMessage({std::string(kMessageCaption), std::string(text), MessageIcon::None});
  };
  if (state_.settings.telescopeGuiding == 'n' && options_.target == GuideTarget::Mount) {
    box(kNoGuidanceMode);
    return false;
  }
  if (!state_.guiding.guiderStarChosen) {
    box(kNoGuideStar);
    return false;
  }
  if (!PrepareTelescope(state_, host_, clock_, true)) return false;
  running_ = true;
  referenceTaken_ = false;
  state_.guiding.lastXDirection = state_.guiding.lastYDirection = 0;
  return true;
}

bool GuiderGuidingSession::exposeFrame() { return FlushGuider(state_, host_); }

bool GuiderGuidingSession::correct(GuideFrameRecord& record) {
  GuidingState& g = state_.guiding;
  if (options_.target == GuideTarget::Ao) {
    record.ao = true;
    record.aoDecision = DecideAoCorrection(state_.settings, reference_, g.guiderStar);
    record.decision.error = record.aoDecision.error;
    record.decision.skipped = record.aoDecision.skipped;
    RecordDecision(g, record.decision);
    if (!options_.sendCorrections) return true;
    const AoDecision& a = record.aoDecision;
    bool ok = true;
    for (const auto& [letter, steps] : {std::pair{a.columnLetter, a.columnSteps}, std::pair{a.rowLetter, a.rowSteps}}) {
      if (steps <= 0) continue;
      host_.beep();
      ok = AoStep(state_, host_, clock_, FromLetter(letter), steps) && ok;
      host_.beep();
    }
    return ok;
  }
  record.decision = DecideGuiderCorrection(state_.settings, g, reference_, g.guiderStar);
  RecordDecision(g, record.decision);
  return !options_.sendCorrections || SendCorrection(state_, host_, clock_, record.decision, kGuiderAxisPauseMs);
}

GuideStepResult GuiderGuidingSession::readFrame() {
  GuidingState& g = state_.guiding;
  if (!ReadGuiderFrame(state_, host_, options_.exposureMs)) return GuideStepResult::DeviceFailed;
  FinishGuiderFrame(state_, g.guiderDark);
  host_.requestRebuildDisplay();
  if (!FindCentre(state_, host_, g.guiderStar.x, g.guiderStar.y, CentreSource::GuiderCamera)) {
    return GuideStepResult::StarLost;
  }
  if (!referenceTaken_) {
    // The reference frame: measured twice, nothing sent.
    if (!FindCentre(state_, host_, g.guiderStar.x, g.guiderStar.y, CentreSource::GuiderCamera)) {
      return GuideStepResult::StarLost;
    }
    reference_ = g.guiderStar;
    referenceTaken_ = true;
    return GuideStepResult::Reference;
  }
  GuideFrameRecord record{static_cast<int>(frames_.size()) + 1, clock_.milliseconds(), g.guiderStar, {}};
  if (!correct(record)) return GuideStepResult::DeviceFailed;
  frames_.push_back(record);
  if (options_.sendCorrections) LogGuidedFrame(state_, host_, clock_.now(), record, logFailed_);
  if (frameDone_) frameDone_(record);
  return GuideStepResult::Corrected;
}

void GuiderGuidingSession::end() {
  if (!running_) return;
  running_ = false;
  // Whatever ended the run, the AO element goes back to the middle of its
  // travel as far as the unit answers (a failure has shown its error).
  ReleaseSocketOnExit(state_, host_);
  if (options_.target == GuideTarget::Ao && options_.sendCorrections) {
    static_cast<void>(ReturnAoToCentre(state_, host_, clock_));
  }
  host_.requestRebuildDisplay();
}

GuiderGuidingOperation::GuiderGuidingOperation(ProgramState& state, Host& host, Clock& clock,
                                               GuiderGuidingOptions options, FrameDone frameDone)
    : state_(state), clock_(clock), options_(options), session_(state, host, clock, options, std::move(frameDone)) {}

WakeTime GuiderGuidingOperation::start(std::uint32_t) {
  if (!session_.begin()) return finish(true);
  running_ = true;
  state_.guiding.guiderGuidingRunning = true;
  return startFrame();
}

WakeTime GuiderGuidingOperation::startFrame() {
  if (!session_.exposeFrame()) return finish(true);
  return clock_.milliseconds() + options_.exposureMs;
}

WakeTime GuiderGuidingOperation::step(std::uint32_t) {
  if (!running_) return kOperationFinished;
  if (stopRequested_) return finish(false);
  const GuideStepResult result = session_.readFrame();
  if (result == GuideStepResult::StarLost || result == GuideStepResult::DeviceFailed) return finish(true);
  if (result == GuideStepResult::Reference && referenceTakenDone_) referenceTakenDone_();
  if (stopRequested_ || (options_.frames > 0 && static_cast<int>(frames().size()) >= options_.frames)) {
    return finish(false);
  }
  return startFrame();
}

WakeTime GuiderGuidingOperation::finish(bool failed) {
  failed_ = failed_ || failed;
  if (!running_) return kOperationFinished;
  running_ = false;
  state_.guiding.guiderGuidingRunning = false;
  session_.end();
  return kOperationFinished;
}

void GuiderGuidingOperation::cancel() { finish(false); }

void GuiderGuidingOperation::input(OperationInput event) {
  if (event == OperationInput::KeyPress) stopRequested_ = true;
}

}  // namespace qv
