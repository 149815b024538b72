#include "camera/exposure_run.h"

#include <algorithm>
#include <optional>

#include "app/messages.h"
#include "app/settings_file.h"
#include "camera/camera_commands.h"
#include "camera/device_bus.h"
#include "colour/colour_synthesis.h"
#include "files/autosave.h"
#include "files/frame_facts.h"
#include "guiding/series_alignment.h"
#include "processing/auto_processing.h"
#include "processing/dark_flat.h"

namespace qv {

namespace {

constexpr std::size_t kCaptionChars = 40;
constexpr int kReadoutPosition = 20;
constexpr int kCountdownStep = 25;
constexpr int kMessageNoSettings = 1, kMessageStarLost = 4, kMessageNoStar = 5, kMessageSaveFailed = 29,
              kMessageSettingsNotSaved = 24;

std::string Left(std::string text, int remaining) {
  if (remaining >= 2) text += " (Left - " + std::to_string(remaining) + ")";
  if (text.size() > kCaptionChars) text.resize(kCaptionChars);
  return text;
}

std::string CountdownCaption(int secondsLeft) { return "EXPOSURE DELAY (Left - " + std::to_string(secondsLeft) + ")"; }

// Up to 1000 ms, and any exposure of the three short ranges, the camera or a
// plain wait times the exposure; seconds and minutes get the cancellable wait.
bool CancellableWait(char range, std::uint32_t exposureMs) {
  const bool shortRange = range == 'q' || range == 'h' || range == 't';
  return !shortRange && exposureMs != 1000;
}

}  // namespace

bool OpenCameraInterface(ProgramState& state, Host& host, Clock& clock, SettingsReload reload) {
  if (state.guiding.mainGuidingRunning) {
    // The guiding reads its sub-frame from the main sensor frame after frame;
    // the sensor cannot take a photo between them.
    host.showMessage({std::string(kMessageCaption), std::string(kMainCameraGuiding), MessageIcon::None});
    return false;
  }
  if (state.files.darkFramePath.empty()) state.files.darkFramePath = "c:\\dark.def";
  if (state.files.flatFieldPath.empty()) state.files.flatFieldPath = "c:\\flat.def";
  // Until a camera is found each opening reads the settings file again, so
  // the search uses the camera type and options stored there.
  if (reload == SettingsReload::BeforeSearch && !state.camera.link.cameraAttached &&
      LoadSettings(state.settings, state.paths, host) != SettingsStatus::Ok) {
    ShowMessage(host, kMessageNoSettings);
  }
  if (!ConnectCamera(state, *DeviceBus(state, clock), host, clock)) return false;
  state.images.darkLoaded = 0;
  ResetSeriesAlignment(state);
  state.camera.exposure.count = 1;
  state.guiding.photoGuiding = PhotoGuiding::None;
  state.guiding.goToAutoguider = false;
  return true;
}

std::string ExposureCaption(int remaining) { return Left("EXPOSURE UNDERWAY", remaining); }

std::string ReadoutCaption(const ProgramState& state, int remaining, int mode) {
  if (remaining >= 2) return Left("READING Pell CAMERA", remaining);
  const auto& texts = state.camera.model.readoutTexts;
  const std::string_view text = (mode == kBinned2x2 || mode == kUserSubFrame) ? texts[0]
                                : (mode == kBinned3x3 || mode == kBinned4x4)  ? texts[1]
                                                                              : texts[2];
  return Left("READING Pell CAMERA" + std::string(text), 0);
}

ExposureOperation::ExposureOperation(ProgramState& state, Host& host, Clock& clock, FrameDone frameDone)
    : state_(state), host_(host), clock_(clock), frameDone_(std::move(frameDone)), guider_(state, host, clock) {}

WakeTime ExposureOperation::start(std::uint32_t nowMs) {
  CameraState& camera = state_.camera;
  if (camera.exposureRunning) return kOperationFinished;  // a press reached a second start
  camera.exposureRunning = true;
  // The click that cancels the run must not also pick a guide star.
  starPickMode_ = state_.mouse.starPickMode;
  state_.mouse.starPickMode = 0;
  ExposureSettings& s = camera.exposure;
  if (s.count < 1) s.count = 1;  // a run takes at least one frame
  exposureMs_ = ExposureMs(s);
  totalSeconds_ = 0;
  skipReadout_ = readoutFailed_ = pressed_ = false;
  framesRead_ = 0;
  host_.setWaitCursor(true);
  state_.files.imageTitle = "Pell Camera Image";
  series_ = s.count >= 2;
  state_.images.colourConverted = 0;
  state_.images.colourUndoHeld = 0;
  if (!s.countdown) return beginRun(nowMs);
  countdown_ = 0;
  host_.openProgress(CountdownCaption(kCountdownSeconds));
  progressOpen_ = true;
  host_.setProgress(0);
  phase_ = Phase::Countdown;
  return nowMs + 1000;
}

WakeTime ExposureOperation::beginRun(std::uint32_t nowMs) {
  ExposureSettings& s = state_.camera.exposure;
  SetGeometryForReadout(state_, s.readoutMode);
  seriesStart_ = s.count;
  continuousRunning_ = s.continuous;
  steps_ = ProgressSteps(s);
  ResetSeriesAlignment(state_);
  state_.files.exposureStart = clock_.now();
  phase_ = Phase::StartFrame;
  return startFrame(nowMs);
}

WakeTime ExposureOperation::step(std::uint32_t nowMs) {
  switch (phase_) {
    case Phase::Countdown: {
      if (takePress()) host_.beep();  // a press only shortens the second
      host_.beep();
      host_.closeProgress();
      if (++countdown_ < kCountdownSeconds) {
        host_.openProgress(CountdownCaption(kCountdownSeconds - countdown_));
        host_.setProgress(kCountdownStep * countdown_);
        return nowMs + 1000;
      }
      progressOpen_ = false;
      return beginRun(nowMs);
    }
    case Phase::StartFrame:
      return startFrame(nowMs);
    case Phase::CameraTimed:
      return readOut(nowMs);
    case Phase::Exposing:
      return exposing(nowMs);
    case Phase::ContinuousGap:
      return afterFrame(nowMs);
    case Phase::Pause:
      return pausing(nowMs);
    case Phase::Done:
      return kOperationFinished;
  }
  return kOperationFinished;
}

WakeTime ExposureOperation::startFrame(std::uint32_t nowMs) {
  ExposureSettings& s = state_.camera.exposure;
  if (takePress()) {
    // Pressed after the last frame was read: the run ends with that frame.
    s.count = 0;
    continuousRunning_ = false;
    host_.beep();
  }
  if (s.count < 1) {
    // The inner loop is over: finish the last frame unless it was skipped,
    // failed or already finished as a continuous frame.
    if (!skipReadout_ && !readoutFailed_ && !finishedByContinuous_ && framesRead_ > 0) finishFrame();
    report();
    if (!continuousRunning_) return endRun();
    // Each pass of a continuous run starts the series again.
    s.count = seriesStart_;
    state_.files.exposureStart = clock_.now();
  }
  report();
  finishedByContinuous_ = false;
  totalSeconds_ = s.continuous ? exposureMs_ * 0.001 : totalSeconds_ + exposureMs_ * 0.001;
  host_.openProgress(ExposureCaption(s.count));
  progressOpen_ = true;
  host_.setProgress(0);
  host_.requestRepaint();
  if (!ClearSensor(state_, host_)) {
    // The camera did not take the clear (its transfer error is shown): the
    // frame is neither exposed nor read, and the run stops as after a failed
    // read-out.
    readoutFailed_ = true;
    stopAfterFailedTransfer();
    host_.closeProgress();
    progressOpen_ = false;
    host_.requestRepaint();
    state_.camera.exposure.count = 0;
    phase_ = Phase::StartFrame;
    return nowMs;
  }
  // The guider camera guides in the exposure wait; the main camera works on
  // each frame as it is read, whatever times the exposure.
  const bool cancellable = CancellableWait(s.range, exposureMs_);
  if ((cancellable || guider_.kind() == PhotoGuiding::MainCamera) && !startGuiding()) return readOut(nowMs);
  if (!cancellable) {
    if (exposureMs_ <= kCameraTimedMaxMs) return readOut(nowMs);
    phase_ = Phase::CameraTimed;  // a plain wait, no cancel
    return nowMs + exposureMs_;
  }
  endMs_ = nowMs + exposureMs_;
  stepMs_ = exposureMs_ / static_cast<std::uint32_t>(steps_);
  nextStepMs_ = nowMs + stepMs_;
  position_ = 0;
  phase_ = Phase::Exposing;
  return exposing(nowMs);
}

bool ExposureOperation::startGuiding() {
  if (guider_.kind() == PhotoGuiding::None || guider_.running()) return true;
  if (guider_.begin()) return true;
  // Guiding cannot start: this frame is not read and the run ends with it.
  ExposureSettings& s = state_.camera.exposure;
  s.continuous = false;
  continuousRunning_ = false;
  s.count = 1;
  skipReadout_ = true;
  guidingFailed_ = true;
  guider_.end();
  return false;
}

void ExposureOperation::guideStarLost(std::uint32_t nowMs) {
  // The star is gone (find centre has said so): the exposure ends now and
  // is read; no later frame can be guided, so the run ends with it.
  endMs_ = nowMs;
  state_.camera.exposure.count = 1;
  continuousRunning_ = false;
  guideStarLost_ = true;
}

WakeTime ExposureOperation::exposing(std::uint32_t nowMs) {
  std::optional<std::uint32_t> guiderDue;
  if (guider_.running() && guider_.kind() == PhotoGuiding::GuiderCamera && MsUntil(endMs_, nowMs) > 0) {
    // One guiding step in place of the plain wait; its pulses take time.
    guiderDue = guider_.duringExposure(nowMs);
    nowMs = clock_.milliseconds();
    if (!guiderDue) guideStarLost(nowMs);
  }
  if (takePress()) {
    // Cancelled during the exposure: this frame is not read and the run ends.
    state_.camera.exposure.count = 1;
    skipReadout_ = true;
    continuousRunning_ = false;
    state_.images.guideView = 0;
    host_.beep();
    endMs_ = nowMs;
  }
  if (MsUntil(nextStepMs_, nowMs) == 0 && position_ + Host::kProgressRange / steps_ <= Host::kProgressRange) {
    nextStepMs_ += stepMs_;
    position_ += Host::kProgressRange / steps_;
    host_.setProgress(position_);
  }
  const std::uint32_t left = MsUntil(endMs_, nowMs);
  if (left == 0) {
    // A series or a continuous run keeps the guider guiding into its next
    // frame; a single photo's guiding ends with its exposure.
    if (guider_.kind() == PhotoGuiding::GuiderCamera && !continuousRunning_ && state_.camera.exposure.count < 2) {
      guider_.end();
    }
    return readOut(nowMs);
  }
  const std::uint32_t wait = std::min(left, MsUntil(nextStepMs_, nowMs));
  return nowMs + (guiderDue ? std::min(wait, MsUntil(*guiderDue, nowMs)) : std::min(wait, std::uint32_t{1000}));
}

WakeTime ExposureOperation::readOut(std::uint32_t nowMs) {
  ExposureSettings& s = state_.camera.exposure;
  if (!skipReadout_) {
    host_.setProgress(kReadoutPosition);
    host_.closeProgress();
    host_.openProgress(ReadoutCaption(state_, s.count, s.readoutMode));
    host_.setProgress(kReadoutPosition);
    readoutFailed_ = !ReadFrame(state_, host_, s.readoutMode, exposureMs_);
  }
  if (takePress()) {
    // Cancelled after the exposure: this frame completes, the run ends.
    s.count = 0;
    continuousRunning_ = false;
    host_.beep();
  }
  const bool fresh = !skipReadout_ && !readoutFailed_;
  darkApplied_ = flatApplied_ = false;
  if (fresh) {
    ++framesRead_;
    // A new raw frame: the colour of the last one no longer applies.
    state_.images.colourConverted = 0;
    state_.images.colourUndoHeld = 0;
    RecordReadoutFacts(state_, s.readoutMode, state_.files.exposureStart, totalSeconds_);
    if (frameRead_) frameRead_();
    state_.images.focusPreview = 0;
    state_.images.guideView = 0;
    correctFrame();
    if (!guider_.afterReadout()) guideStarLost(nowMs);
    if (series_ && !s.continuous) stackFrame();
    pendingReport_ = true;
  } else if (readoutFailed_) {
    stopAfterFailedTransfer();
  }
  host_.closeProgress();
  progressOpen_ = false;
  host_.requestRepaint();
  if (s.count > 0) --s.count;  // a cancel after the exposure has left 0
  if (series_ && continuousRunning_ && s.count == 0) continuousRunning_ = false;

  if (fresh && s.autoProcess) {
    state_.images.history.clear();
    if (darkApplied_) AddHistoryLine(state_.images.history, "Dark Frame Subtracted");
    if (flatApplied_) AddHistoryLine(state_.images.history, "Flatfield Applied");
    // A colour frame is converted, which runs the automatic processing
    // itself; a frame the colour planes do not fit is processed as it is.
    if (!SynthesizeAfterExposure(state_, host_)) {
      RunAutoProcessing(state_, host_);
      host_.requestRebuildDisplay();
    }
  }
  phase_ = Phase::StartFrame;
  if (!continuousRunning_) return nowMs;
  if (fresh) finishFrame();
  finishedByContinuous_ = true;
  phase_ = Phase::ContinuousGap;
  return nowMs + kContinuousGapMs;
}

void ExposureOperation::stopAfterFailedTransfer() {
  // A failed transfer is not a new frame: the series stops here, with the sum
  // so far (if any) back in the work image; nothing is saved.
  if (series_ && framesRead_ > 0) {
    std::copy_n(state_.images.scratchImage, state_.geometry.pixelCount, state_.images.workImage);
  }
  state_.camera.exposure.count = 1;
  continuousRunning_ = false;
}

WakeTime ExposureOperation::afterFrame(std::uint32_t nowMs) {
  ExposureSettings& s = state_.camera.exposure;
  phase_ = Phase::StartFrame;
  if (takePress()) {
    // No frame follows, but the pause after the frame is still waited.
    s.count = 0;
    continuousRunning_ = false;
    host_.beep();
  }
  if (s.pause < 1) return nowMs;
  const std::uint32_t pauseMs = static_cast<std::uint32_t>(s.pause) * (s.pauseInMinutes ? 60'000u : 1000u);
  stepMs_ = pauseMs / kPauseSlices;
  pauseSlice_ = 0;
  position_ = 0;
  host_.openProgress("Pause between exposures");
  progressOpen_ = true;
  host_.setProgress(0);
  phase_ = Phase::Pause;
  return nowMs + stepMs_;
}

WakeTime ExposureOperation::pausing(std::uint32_t nowMs) {
  ExposureSettings& s = state_.camera.exposure;
  const bool cancelled = takePress();
  if (cancelled) {
    s.count = 0;
    continuousRunning_ = false;
    host_.beep();
  }
  position_ += kPauseSlices;
  host_.setProgress(position_);
  if (!cancelled && ++pauseSlice_ < kPauseSlices) return nowMs + stepMs_;
  host_.closeProgress();
  progressOpen_ = false;
  phase_ = Phase::StartFrame;
  return nowMs;
}

WakeTime ExposureOperation::endRun() {
  if (phase_ == Phase::Done) return kOperationFinished;
  if (progressOpen_) host_.closeProgress();
  progressOpen_ = false;
  guider_.end();
  state_.guiding.photoGuiding = PhotoGuiding::None;
  state_.mouse.starPickMode = starPickMode_;
  host_.setWaitCursor(false);
  state_.camera.exposureRunning = false;
  host_.requestRepaint();
  phase_ = Phase::Done;
  return kOperationFinished;
}

void ExposureOperation::cancel() {
  state_.camera.exposure.count = 0;
  continuousRunning_ = false;
  report();
  endRun();
}

void ExposureOperation::input(OperationInput) { pressed_ = true; }

std::optional<std::uint32_t> ExposureOperation::wakeForInput(std::uint32_t nowMs) {
  // The countdown, the cancellable exposure, the window after a continuous
  // frame and the pause end at the press; a plain wait runs to its end.
  switch (phase_) {
    case Phase::Countdown:
    case Phase::StartFrame:
    case Phase::Exposing:
    case Phase::ContinuousGap:
    case Phase::Pause:
      return nowMs;
    case Phase::CameraTimed:
    case Phase::Done:
      break;
  }
  return std::nullopt;
}

bool ExposureOperation::takePress() {
  const bool pressed = pressed_;
  pressed_ = false;
  return pressed;
}

void ExposureOperation::correctFrame() {
  const ExposureSettings& s = state_.camera.exposure;
  if (s.autoDark) darkApplied_ = ApplyAutoDark(state_, host_, state_.images.workImage) == kAutoApplied;
  if (s.autoFlat) flatApplied_ = ApplyAutoFlat(state_, host_, state_.images.workImage) == kAutoApplied;
}

void ExposureOperation::stackFrame() {
  ExposureSettings& s = state_.camera.exposure;
  const int divisor = s.average ? seriesStart_ : 1;
  const SeriesAlignResult result =
      s.alternativeSlew ? AlignByProfile(state_, divisor) : AlignByStar(state_, host_, divisor);
  if (result == SeriesAlignResult::Added) return;
  s.count = 1;  // the series ends with this frame
  ShowMessage(host_, result == SeriesAlignResult::StarLost ? kMessageStarLost : kMessageNoStar);
}

void ExposureOperation::finishFrame() {
  const ExposureSettings& s = state_.camera.exposure;
  state_.files.exposureEnd = clock_.now();
  StampObservationMiddle(state_, state_.files.exposureStart, state_.files.exposureEnd);
  if (!s.autoProcess) {
    state_.images.history.clear();
    if (darkApplied_) AddHistoryLine(state_.images.history, "Dark Frame Subtracted");
    if (flatApplied_) AddHistoryLine(state_.images.history, "Flatfield Applied");
  }
  host_.requestRebuildDisplay();
  if (s.autosave) {
    state_.settings.fits.exposureSeconds = totalSeconds_;
    const int result = AutosaveFits(state_, host_, clock_, state_.images.workImage);
    if (result == 1) {
      ShowMessage(host_, kMessageSaveFailed);
    } else {
      savedFile_ = AutosaveFilePath(state_, state_.settings.lastFileNumber);
      if (result == 3) ShowMessage(host_, kMessageSettingsNotSaved);
    }
  }
  report();
}

void ExposureOperation::report() {
  if (!pendingReport_) return;
  pendingReport_ = false;
  if (!frameDone_) {  // nobody to tell: no pass over the frame
    savedFile_.clear();
    return;
  }
  FrameReport frame;
  frame.index = framesRead_;
  frame.exposureMs = exposureMs_;
  const std::size_t n = static_cast<std::size_t>(state_.geometry.pixelCount);
  const std::uint16_t* p = state_.images.workImage;
  std::uint64_t sum = 0;
  std::uint16_t peak = 0;
  for (std::size_t i = 0; i < n; ++i) {
    sum += p[i];
    peak = std::max(peak, p[i]);
  }
  frame.mean = n ? static_cast<std::uint32_t>(sum / n) : 0;
  frame.peak = peak;
  frame.savedFile = std::move(savedFile_);
  savedFile_.clear();
  frameDone_(frame);
}

}  // namespace qv
