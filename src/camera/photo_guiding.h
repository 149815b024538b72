#pragma once
// Guiding while the camera takes a photo. On the guider camera the exposure
// run hands each of its waits here: a guider frame is exposed, read and
// corrected on, one at a time, for as long as the main camera exposes. On
// the main camera each frame the run reads is handed over for the next
// correction. Also the camera dialog's two guiding buttons.

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/clock.h"
#include "app/command_id.h"
#include "app/host.h"
#include "app/program_state.h"
#include "guiding/guider_guiding.h"
#include "guiding/main_guiding.h"

namespace qv {

inline constexpr std::string_view kAlreadyGuidingExternally = "Sorry, already guiding with external camera";
inline constexpr int kTakePhotoResult = 1;
inline constexpr int kGoToAutoguiderResult = 2;

// The guider camera can guide a photo: it is there, a guider star has been
// selected, and there is somewhere to send the corrections.
[[nodiscard]] bool GuiderSetUpForGuiding(const ProgramState& state);

// "Autoguide Photo": false (message shown) while the guider camera guides on
// its own; else asks for guiding during the photo when the guider camera is
// set up for it, and the photo is taken as by "Take Photo".
[[nodiscard]] bool PressAutoguidePhoto(ProgramState& state, Host& host);
// "Go to Autoguider ": false (message shown) while the guider camera guides
// on its own; else the request is set and the dialog closes with
// kGoToAutoguiderResult.
[[nodiscard]] bool PressGoToAutoguider(ProgramState& state, Host& host);
// What the window runs after the camera dialog closed with `result`: the
// guider camera when it was asked for. The requests are cleared.
std::optional<CommandId> CommandAfterCameraDialog(ProgramState& state, int result);

class PhotoGuider {
 public:
  PhotoGuider(ProgramState& state, Host& host, Clock& clock);

  PhotoGuiding kind() const { return kind_; }
  [[nodiscard]] bool running() const { return running_; }
  // Starts the guiding asked for; false (message shown) when it cannot.
  [[nodiscard]] bool begin();
  // During the exposure wait: exposes, or reads and corrects on, a guider
  // frame when one is due. Returns the time the next guider frame is due,
  // or nothing once the star is lost (guiding then stops).
  std::optional<std::uint32_t> duringExposure(std::uint32_t nowMs);
  // After a frame was read: the main camera's correction on it. False when
  // the star is lost (guiding then stops).
  [[nodiscard]] bool afterReadout();
  // Releases the outputs (and re-centres the AO unit).
  void end();

  const std::vector<GuideFrameRecord>& frames() const;

 private:
  ProgramState& state_;
  Host& host_;
  Clock& clock_;
  PhotoGuiding kind_;
  GuiderGuidingSession guider_;
  MainGuidingSession main_;
  bool running_ = false;
  bool guiderExposing_ = false;
  std::uint32_t guiderDueMs_ = 0;
};

}  // namespace qv
