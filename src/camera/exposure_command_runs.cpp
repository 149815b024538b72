#include "camera/exposure_command_runs.h"

#include <cstdio>
#include <optional>

#include "app/arg_reader.h"
#include "app/forwarding_host.h"
#include "app/run_operation.h"
#include "camera/camera_dialog_fields.h"
#include "camera/exposure_run.h"
#include "camera/focus_loop.h"

namespace qv {

namespace {

// Passes everything to the command's host; the command line has no keyboard,
// so a press is made up once the asked time has passed (a cancel), or after
// the asked number of focus frames (the left press that ends the focus loop).
class PressingHost final : public ForwardingHost {
 public:
  PressingHost(CommandContext& c, long cancelAfterMs)
      : ForwardingHost(c.host), c_(c), cancelAt_(c.clock.milliseconds() + cancelAfterMs) {
    armed_ = cancelAfterMs >= 0;
  }
  InputEvents pumpEvents() override {
    InputEvents events = ForwardingHost::pumpEvents();
    if (armed_ && MsUntil(cancelAt_, c_.clock.milliseconds()) == 0) {
      events.keyPressed = true;
      armed_ = false;
    }
    if (leftPressPending_) events.leftButtonPressed = true;
    leftPressPending_ = false;
    return events;
  }
  void pressLeft() { leftPressPending_ = true; }
  // When the made-up key press comes, while it is still to come.
  std::optional<std::uint32_t> nextPressMs() const {
    return armed_ ? std::optional<std::uint32_t>(cancelAt_) : std::nullopt;
  }

 private:
  CommandContext& c_;
  std::uint32_t cancelAt_;
  bool armed_ = false;
  bool leftPressPending_ = false;
};

const char* kRanges = "qhtsm";

}  // namespace

CommandStatus RunExpose(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const std::string range = r.text("range", "");
  const long value = r.integer("value", 1, 500, 0);
  const long count = r.integer("count", 1, kMaxSeriesCount, 0);
  const ExposureSettings& now = c.state.camera.exposure;
  const bool average = r.flag("average", now.average);
  const bool slewSum = r.flag("slew-sum", true);
  const bool alternative = r.flag("alt-slew", now.alternativeSlew);
  const bool continuous = r.flag("continuous", now.continuous);
  const long pause = r.integer("pause", 0, kMaxPauseBetweenFrames, now.pause);
  const std::string pauseUnit = r.text("pause-unit", now.pauseInMinutes ? "m" : "s");
  const bool autosave = r.flag("autosave", now.autosave);
  const bool autoDark = r.flag("auto-dark", now.autoDark);
  const bool autoFlat = r.flag("auto-flat", now.autoFlat);
  const bool autoProcess = r.flag("auto-process", now.autoProcess);
  const long mode = r.integer("mode", 1, 5, now.readoutMode);
  const long cancelAfter = r.integer("cancel-after-ms", 0, 100'000'000, -1);
  const std::string guideText = r.text("guide", "none");
  const int guide = guideText == "main" ? 1 : guideText == "guider" ? 2 : 0;
  if (guide == 0 && guideText != "none") r.fail("guide must be none, main or guider");
  const long starX = r.integer("x", 0, 100'000, -1);
  const long starY = r.integer("y", 0, 100'000, -1);
  if (!range.empty() && (range.size() != 1 || std::string_view(kRanges).find(range[0]) == std::string_view::npos)) {
    r.fail("range must be q, h, t, s or m");
  }
  if (pauseUnit != "s" && pauseUnit != "m") r.fail("pause-unit must be s or m");
  const char chosenRange = range.empty() ? now.range : range[0];
  if (value > RangeMaximum(chosenRange)) {
    r.fail("value must be from 1 to " + std::to_string(RangeMaximum(chosenRange)) + " in this range");
  }
  if (!r.proceed()) return r.status();
  if (!OpenCameraInterface(c.state, c.host, c.clock)) return CommandStatus::Refused;

  ExposureSettings& s = c.state.camera.exposure;
  if (!range.empty()) ChooseRange(s, chosenRange);
  // Both were checked against their ranges above.
  if (value > 0 && !SetExposureValue(s, value)) return CommandStatus::Refused;
  // Without slew and sum a series is a run of single frames.
  if (count > 0 && !SetSeriesCount(s, count)) return CommandStatus::Refused;
  s.average = average;
  s.alternativeSlew = alternative;
  s.continuous = continuous;
  s.pause = static_cast<int>(pause);
  s.pauseInMinutes = pauseUnit == "m";
  s.autosave = autosave;
  s.autoDark = autoDark;
  s.autoFlat = autoFlat;
  s.autoProcess = autoProcess;
  s.readoutMode = static_cast<int>(mode);
  GuidingState& g = c.state.guiding;
  if (guide != 0 && g.guiderGuidingRunning) {
    c.err << args.name << ": " << kAlreadyGuidingExternally << '\n';
    return CommandStatus::Refused;
  }
  if (starX >= 0 && starY >= 0) {
    // The star to guide on: on the guider frame or on the main frame.
    (guide == 2 ? g.guiderStar : g.guideStar) = {static_cast<int>(starX), static_cast<int>(starY), 0, 0};
    (guide == 2 ? g.guiderStarChosen : g.guideStarChosen) = true;
  }
  g.photoGuiding = guide == 2 ? PhotoGuiding::GuiderCamera : guide == 1 ? PhotoGuiding::MainCamera : PhotoGuiding::None;

  PressingHost host(c, cancelAfter);
  auto print = [&c](const FrameReport& f) {
    c.out << "frame " << f.index << " exposure-ms=" << f.exposureMs << " mean=" << f.mean << " peak=" << f.peak;
    if (!f.savedFile.empty()) c.out << " saved=" << f.savedFile;
    c.out << '\n';
  };
  const int runs = (!slewSum && s.count > 1 && !s.continuous) ? s.count : 1;
  const int perRun = runs > 1 ? 1 : s.count;
  const PhotoGuiding guiding = g.photoGuiding;
  bool failed = false;
  for (int i = 0; i < runs && !failed; ++i) {
    s.count = perRun;
    g.photoGuiding = guiding;
    ExposureOperation run(c.state, host, c.clock, print);
    RunOperation(run, c.clock, host, [&host] { return host.nextPressMs(); });
    failed = run.readoutFailed() || run.guidingFailed();
    if (guiding != PhotoGuiding::None) {
      char text[96];
      std::snprintf(text, sizeof text, "guided frames=%zu rms=%.2f px%s\n", run.guidedFrames().size(),
                    RmsErrorPixels(run.guidedFrames()), run.guideStarLost() ? " star-lost" : "");
      c.out << text;
      failed = failed || run.guideStarLost();
    }
  }
  return failed ? CommandStatus::Refused : CommandStatus::Done;
}

CommandStatus RunFocus(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  const long frames = r.integer("frames", 1, 100'000);
  const long stretch = r.integer("stretch", kMinFocusStretch, kMaxFocusStretch, c.state.camera.exposure.focusStretch);
  const bool autochange = r.flag("autochange", c.state.camera.exposure.autochange);
  if (!r.proceed()) return r.status();
  if (!OpenCameraInterface(c.state, c.host, c.clock)) return CommandStatus::Refused;
  ExposureSettings& s = c.state.camera.exposure;
  if (!FocusLoopAllowed(s)) {
    c.err << "focus: the focus loop takes exposures below 100 units and not in minutes\n";
    return CommandStatus::Refused;
  }
  if (!SetFocusStretch(s, stretch)) return CommandStatus::Refused;
  s.autochange = autochange;
  PressingHost host(c, -1);
  long taken = 0;
  FocusOperation loop(c.state, host, [&](const FocusAnalysis& a) {
    c.out << "focus " << ++taken << " peak=" << a.peak << " half=" << a.level << " fwhm=" << a.fwhm
          << " next-exposure-ms=" << ExposureMs(s) << '\n';
    if (taken >= frames) host.pressLeft();
  });
  RunOperation(loop, c.clock, host);
  return CommandStatus::Done;
}

CommandStatus RunCameraDialogShow(CommandContext& c, const CommandArgs& args) {
  ArgReader r(c, args);
  if (!r.proceed()) return r.status();
  for (const auto& [name, value] : CameraDialogFields(c.state)) c.out << name << '=' << value << '\n';
  return CommandStatus::Done;
}

}  // namespace qv
