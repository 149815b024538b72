#include "guiding/guider_frames.h"

#include "app/image_store.h"
#include "camera/camera_commands.h"
#include "guiding/guider_exposure.h"
#include "guiding/guider_picture.h"

namespace qv {

GuiderFramesOperation::GuiderFramesOperation(ProgramState& state, Host& host, Clock& clock, FrameDone frameDone,
                                             Purpose purpose)
    : state_(state), host_(host), clock_(clock), frameDone_(std::move(frameDone)), purpose_(purpose) {}

WakeTime GuiderFramesOperation::start(std::uint32_t) {
  running_ = true;
  return startFrame();
}

WakeTime GuiderFramesOperation::startFrame() {
  // The exposure is read afresh for each frame: the dialog may change it
  // while frames run.
  exposureMs_ = GuiderExposureMs(state_.guiding.guiderExposure);
  bool ok = true;
  if (state_.settings.guiderClearCamera) ok = ClearSensor(state_, host_);
  if (!FlushGuider(state_, host_) || !ok) {
    failed_ = true;
    running_ = false;
    return kOperationFinished;
  }
  return clock_.milliseconds() + exposureMs_;
}

WakeTime GuiderFramesOperation::step(std::uint32_t) {
  if (!running_) return kOperationFinished;
  if (pausing_) {
    pausing_ = false;
    if (stopRequested_) {
      running_ = false;
      return kOperationFinished;
    }
    return startFrame();
  }
  if (!ReadGuiderFrame(state_, host_, exposureMs_)) {
    failed_ = true;
    running_ = false;
    return kOperationFinished;
  }
  GuiderDark& dark = state_.guiding.guiderDark;
  if (purpose_ == Purpose::Dark) {
    FinishGuiderFrame(state_, GuiderDark{});
    dark.pixels.assign(
        state_.images.guideImage,
        state_.images.guideImage + static_cast<std::size_t>(ImageStore::kGuideColumns) * ImageStore::kGuideRows);
    dark.taken = true;
    dark.exposure = state_.guiding.guiderExposure;
  } else {
    FinishGuiderFrame(state_, dark);
  }
  // A bitmap that cannot be written has shown its message; the frame still counts.
  static_cast<void>(RenderGuiderFrame(state_, host_));
  ++frames_;
  if (frameDone_) frameDone_();
  if (stopRequested_ || !running_ || purpose_ == Purpose::Dark) {
    running_ = false;
    return kOperationFinished;
  }
  if (!state_.guiding.guiderDialog.image.pauseBetweenFrames) return startFrame();
  // The pause: the next frame starts when it is over.
  pausing_ = true;
  return clock_.milliseconds() + kGuiderPauseMs;
}

void GuiderFramesOperation::input(OperationInput event) {
  if (event == OperationInput::LeftButtonPress || event == OperationInput::KeyPress) stopRequested_ = true;
}

}  // namespace qv
