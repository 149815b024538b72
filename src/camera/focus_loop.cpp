#include "camera/focus_loop.h"

#include <algorithm>
#include <array>

#include "camera/camera_commands.h"
#include "camera/camera_protocol.h"
#include "camera/exposure_settings.h"

namespace qv {

namespace {

constexpr int kFirstRow = 12, kLastRow = 125, kFirstColumn = 5, kLastColumn = 125;
constexpr int kWidthFirstColumn = 3;
constexpr std::uint16_t kTooFaint = 32000, kTooBright = 64001;
constexpr std::uint32_t kFocusDelayMs = 1000;
// While the computer times a focus frame, the first clear step is sent again
// this often until the exposure has passed.
constexpr std::uint32_t kClearRepeatMs = 10;

}  // namespace

FocusAnalysis AnalyseFocusBox(const std::uint16_t* box, int previousLeft, int previousRight) {
  auto at = [box](int row, int column) { return box[row * kGuideBoxSize + column]; };
  FocusAnalysis a;
  std::array<int, 256> bins{};
  for (int r = kFirstRow; r <= kLastRow; ++r) {
    for (int c = kFirstColumn; c <= kLastColumn; ++c) ++bins[at(r, c) / 256];
  }
  a.background = static_cast<int>(std::max_element(bins.begin(), bins.end()) - bins.begin());
  // A peak needs the pixel above it as bright, so a single hot pixel does not count.
  for (int r = kFirstRow; r <= kLastRow; ++r) {
    for (int c = kFirstColumn; c <= kLastColumn; ++c) {
      if (at(r, c) > a.peak && at(r - 1, c) > a.peak) {
        a.peak = at(r, c);
        a.peakX = c;
        a.peakY = r;
      }
    }
  }
  const auto sky = static_cast<std::uint16_t>(a.background * 256);
  a.level = static_cast<std::uint16_t>(sky + static_cast<std::uint16_t>(a.peak - sky) / 2);
  a.left = previousLeft;
  a.right = previousRight;
  for (int c = a.peakX; c >= kWidthFirstColumn; --c) {
    if (at(a.peakY, c) > a.level) a.left = c;
  }
  for (int c = a.peakX; c <= kLastColumn; ++c) {
    if (at(a.peakY, c) > a.level) a.right = c;
  }
  a.fwhm = a.right - a.left + 1;
  return a;
}

std::uint32_t AutochangeExposureMs(std::uint32_t exposureMs, std::uint16_t peak) {
  if (peak < kTooFaint) return std::min(exposureMs * 2, kLongestExposureMs);
  if (peak >= kTooBright) return std::max<std::uint32_t>(exposureMs / 2, 1);
  return exposureMs;
}

bool FocusLoopAllowed(const ExposureSettings& s) { return s.range != 'm' && s.value < 100; }

FocusOperation::FocusOperation(ProgramState& state, Host& host, FrameDone frameDone)
    : state_(state), host_(host), frameDone_(std::move(frameDone)) {}

WakeTime FocusOperation::start(std::uint32_t nowMs) {
  CameraState& camera = state_.camera;
  if (camera.exposureRunning || !FocusLoopAllowed(camera.exposure)) return kOperationFinished;
  camera.exposureRunning = true;
  stopPressed_ = false;
  state_.images.focusPreview = 1;
  return expose(nowMs);
}

WakeTime FocusOperation::expose(std::uint32_t nowMs) {
  if (stopPressed_) return finish();
  exposureMs_ = ExposureMs(state_.camera.exposure);
  host_.setWaitCursor(true);
  phase_ = Phase::Exposing;
  // A transfer that fails (its error shown) ends the loop: there is no box to measure.
  if (!ClearSensor(state_, host_)) return cancelExposure();
  // Up to a second the camera times the box itself.
  if (exposureMs_ <= kCameraTimedMaxMs) return readBox(nowMs);
  exposureEndMs_ = nowMs + exposureMs_;
  return holdClear(nowMs);
}

WakeTime FocusOperation::holdClear(std::uint32_t nowMs) {
  const std::uint32_t left = MsUntil(exposureEndMs_, nowMs);
  if (left == 0) return readBox(nowMs);
  if (!SendFirstClearStep(state_, host_)) return cancelExposure();
  return nowMs + std::min(left, kClearRepeatMs);
}

WakeTime FocusOperation::readBox(std::uint32_t nowMs) {
  ExposureSettings& s = state_.camera.exposure;
  if (!ReadGuideBox(state_, host_, exposureMs_, s.binFocusFrame)) return cancelExposure();
  host_.setWaitCursor(false);
  const FocusAnalysis a = AnalyseFocusBox(state_.images.workImage, left_, right_);
  left_ = a.left;
  right_ = a.right;
  s.focusPeak = a.peak;
  s.focusFwhm = a.fwhm;
  if (s.autochange) SetExposureFromMs(s, AutochangeExposureMs(exposureMs_, a.peak));
  state_.display.focusStretchPower = s.focusStretch;
  host_.requestRebuildDisplay();
  host_.requestRepaint();
  if (frameDone_) frameDone_(a);
  host_.beep();
  phase_ = Phase::Between;
  return nowMs + (state_.settings.focusDelay ? kFocusDelayMs : 0);
}

WakeTime FocusOperation::step(std::uint32_t nowMs) {
  switch (phase_) {
    case Phase::Exposing:
      return holdClear(nowMs);  // only frames the computer times wait here
    case Phase::Between:
      return expose(nowMs);
    case Phase::Done:
      break;
  }
  return kOperationFinished;
}

WakeTime FocusOperation::finish() {
  if (phase_ != Phase::Done) state_.camera.exposureRunning = false;
  phase_ = Phase::Done;
  return kOperationFinished;
}

WakeTime FocusOperation::cancelExposure() {
  cancel();
  return kOperationFinished;
}

void FocusOperation::cancel() {
  if (phase_ == Phase::Exposing) host_.setWaitCursor(false);
  finish();
}

void FocusOperation::input(OperationInput event) {
  if (event == OperationInput::LeftButtonPress) stopPressed_ = true;
}

}  // namespace qv
