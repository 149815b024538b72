#pragma once
// Taking pictures: one exposure, a counted series (averaged or summed onto a
// reference star), or a continuous run until cancelled, with the countdown,
// the pause between frames, the automatic dark, flat and processing, the
// display rebuild and the autosave of every finished frame. One operation
// stepped by the clock: the window's timer or the command-line loop drives it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/clock.h"
#include "app/host.h"
#include "app/operation.h"
#include "app/program_state.h"
#include "camera/photo_guiding.h"

namespace qv {

inline constexpr int kCountdownSeconds = 10;
inline constexpr std::uint32_t kContinuousGapMs = 2000;  // the cancel window after a continuous frame
inline constexpr int kPauseSlices = 16;

inline constexpr std::string_view kMainCameraGuiding =
    "Sorry, the main camera is in use for guiding or training.\nStop it to take a photo";

// Whether opening the camera interface reads the settings file again before
// the camera search. A program that shares the file and must never write it
// (the INDI driver) reads it its own way and asks for no reload.
enum class SettingsReload { BeforeSearch, Never };

// What the camera interface does each time it opens: the default reference
// names, the settings file read again and the camera opened until a camera
// is found, the dark reference and the series reference forgotten, one
// frame. False (the message shown) without a camera or while the main camera
// guides.
[[nodiscard]] bool OpenCameraInterface(ProgramState& state, Host& host, Clock& clock,
                                       SettingsReload reload = SettingsReload::BeforeSearch);

// One frame as it came out of the run.
struct FrameReport {
  int index = 0;  // 1-based, over the whole run
  std::uint32_t exposureMs = 0;
  std::uint32_t mean = 0;  // of the work image after the frame's corrections
  std::uint16_t peak = 0;
  std::string savedFile;  // the autosaved file, empty when none
};

// Captions of the progress window.
std::string ExposureCaption(int remaining);
std::string ReadoutCaption(const ProgramState& state, int remaining, int mode);

class ExposureOperation final : public Operation {
 public:
  using FrameDone = std::function<void(const FrameReport&)>;
  ExposureOperation(ProgramState& state, Host& host, Clock& clock, FrameDone frameDone = {});

  WakeTime start(std::uint32_t nowMs) override;
  WakeTime step(std::uint32_t nowMs) override;
  void cancel() override;
  void input(OperationInput event) override;
  std::optional<std::uint32_t> wakeForInput(std::uint32_t nowMs) override;

  // Called with each frame as read, before its corrections (for a benchmark
  // or a check of the stacking).
  void onFrameRead(std::function<void()> observer) { frameRead_ = std::move(observer); }

  int framesRead() const { return framesRead_; }
  // A clear or a read-out of the run failed: the run stopped there.
  [[nodiscard]] bool readoutFailed() const { return readoutFailed_; }
  // The frames guided during the run (guiding asked for by the camera
  // dialog's "Autoguide Photo" or the command line).
  const std::vector<GuideFrameRecord>& guidedFrames() const { return guider_.frames(); }
  // Guiding was asked for and could not start: the run took nothing.
  [[nodiscard]] bool guidingFailed() const { return guidingFailed_; }
  // The guide star was lost: the exposure ended early and the run with it.
  [[nodiscard]] bool guideStarLost() const { return guideStarLost_; }

 private:
  enum class Phase { Countdown, StartFrame, CameraTimed, Exposing, ContinuousGap, Pause, Done };

  WakeTime beginRun(std::uint32_t nowMs);
  WakeTime startFrame(std::uint32_t nowMs);
  WakeTime exposing(std::uint32_t nowMs);
  WakeTime readOut(std::uint32_t nowMs);
  WakeTime afterFrame(std::uint32_t nowMs);  // the cancel window after a continuous frame
  WakeTime pausing(std::uint32_t nowMs);
  WakeTime endRun();
  void stopAfterFailedTransfer();
  [[nodiscard]] bool startGuiding();
  void guideStarLost(std::uint32_t nowMs);
  void finishFrame();
  void correctFrame();
  void stackFrame();
  void report();
  [[nodiscard]] bool takePress();

  ProgramState& state_;
  Host& host_;
  Clock& clock_;
  FrameDone frameDone_;
  std::function<void()> frameRead_;

  Phase phase_ = Phase::Done;
  std::uint32_t exposureMs_ = 0;
  int steps_ = 2;
  int seriesStart_ = 1;
  bool series_ = false;
  bool continuousRunning_ = false;
  bool skipReadout_ = false;
  bool pressed_ = false;
  bool finishedByContinuous_ = false;
  bool readoutFailed_ = false;
  bool progressOpen_ = false;
  double totalSeconds_ = 0;
  int countdown_ = 0;
  std::uint32_t endMs_ = 0, nextStepMs_ = 0, stepMs_ = 0;
  int position_ = 0;
  int pauseSlice_ = 0;
  int framesRead_ = 0;
  bool darkApplied_ = false, flatApplied_ = false;
  bool pendingReport_ = false;  // a frame read and not yet reported
  std::string savedFile_;
  PhotoGuider guider_;
  bool guidingFailed_ = false;
  bool guideStarLost_ = false;
  int starPickMode_ = 0;  // put back when the run ends
};

}  // namespace qv
