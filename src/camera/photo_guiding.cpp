#include "camera/photo_guiding.h"

#include "app/messages.h"
#include "camera/camera_commands.h"
#include "guiding/guide_socket.h"
#include "guiding/guider_exposure.h"

namespace qv {

namespace {

void Say(Host& host, std::string_view text) {
  host.showMessage({std::string(kMessageCaption), std::string(text), MessageIcon::None});
}

GuiderGuidingOptions PhotoGuiderOptions(const ProgramState& state) {
  GuiderGuidingOptions o;
  o.exposureMs = GuiderExposureMs(state.guiding.guiderExposure);
  o.target = state.settings.guidanceMode == 'A' ? GuideTarget::Ao : GuideTarget::Mount;
  return o;
}

}  // namespace

bool GuiderSetUpForGuiding(const ProgramState& state) {
  const bool camera = state.camera.link.cameraAttached && state.camera.model.hasGuiderChannel;
  const bool target = state.settings.guidanceMode == 'A' || state.settings.telescopeGuiding != 'n';
  return camera && state.guiding.guiderStarChosen && target;
}

bool PressAutoguidePhoto(ProgramState& state, Host& host) {
  if (state.guiding.guiderGuidingRunning) {
    Say(host, kAlreadyGuidingExternally);
    return false;
  }
  if (GuiderSetUpForGuiding(state)) state.guiding.photoGuiding = PhotoGuiding::GuiderCamera;
  return true;
}

bool PressGoToAutoguider(ProgramState& state, Host& host) {
  if (state.guiding.guiderGuidingRunning) {
    Say(host, kAlreadyGuidingExternally);
    return false;
  }
  state.guiding.goToAutoguider = true;
  return true;
}

std::optional<CommandId> CommandAfterCameraDialog(ProgramState& state, int result) {
  const bool goToGuider = result == kGoToAutoguiderResult && state.guiding.goToAutoguider;
  state.guiding.goToAutoguider = false;
  if (result != kTakePhotoResult) state.guiding.photoGuiding = PhotoGuiding::None;
  if (goToGuider) return CommandId::AutoGuiderCamera;
  return std::nullopt;
}

PhotoGuider::PhotoGuider(ProgramState& state, Host& host, Clock& clock)
    : state_(state),
      host_(host),
      clock_(clock),
      kind_(state.guiding.photoGuiding),
      guider_(state, host, clock, PhotoGuiderOptions(state)),
      main_(state, host, clock, true) {}

bool PhotoGuider::begin() {
  if (running_ || kind_ == PhotoGuiding::None) return running_;
  running_ = kind_ == PhotoGuiding::GuiderCamera ? guider_.begin() : main_.begin();
  guiderExposing_ = false;
  return running_;
}

std::optional<std::uint32_t> PhotoGuider::duringExposure(std::uint32_t nowMs) {
  if (!running_ || kind_ != PhotoGuiding::GuiderCamera) return nowMs + 1000;
  if (guiderExposing_ && MsUntil(guiderDueMs_, nowMs) == 0) {
    guiderExposing_ = false;
    const GuideStepResult result = guider_.readFrame();
    if (result == GuideStepResult::StarLost || result == GuideStepResult::DeviceFailed) {
      end();
      return std::nullopt;
    }
  }
  if (!guiderExposing_) {
    if (!guider_.exposeFrame()) {
      end();
      return std::nullopt;
    }
    guiderExposing_ = true;
    guiderDueMs_ = clock_.milliseconds() + guider_.exposureMs();
  }
  return guiderDueMs_;
}

bool PhotoGuider::afterReadout() {
  if (!running_ || kind_ != PhotoGuiding::MainCamera) return true;
  const GuideStepResult result = main_.step();
  if (result == GuideStepResult::StarLost || result == GuideStepResult::DeviceFailed) {
    end();
    return false;
  }
  return true;
}

void PhotoGuider::end() {
  if (!running_) return;
  running_ = false;
  guiderExposing_ = false;
  if (kind_ == PhotoGuiding::GuiderCamera) {
    guider_.end();
  } else {
    ReleaseSocketOnExit(state_, host_);
  }
}

const std::vector<GuideFrameRecord>& PhotoGuider::frames() const {
  return kind_ == PhotoGuiding::GuiderCamera ? guider_.frames() : main_.frames();
}

}  // namespace qv
