#include "guiding/main_training.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/messages.h"
#include "app/settings_file.h"
#include "camera/camera_commands.h"
#include "guiding/find_centre.h"
#include "guiding/guide_socket.h"
#include "guiding/guider_defaults.h"
#include "guiding/telescope_commands.h"

namespace qv {

namespace {

// The move made before each place after the start.
constexpr std::array<SkyDirection, 8> kMoves{SkyDirection::North, SkyDirection::North, SkyDirection::South,
                                             SkyDirection::South, SkyDirection::East,  SkyDirection::East,
                                             SkyDirection::West,  SkyDirection::West};

}  // namespace

MainTrainingResult ComputeMainTraining(const MainTrainingPositions& positions, int seconds) {
  const auto& p = positions.p;
  const int t = std::max(seconds, 1);
  const int y0 = p[0].y, y1 = p[1].y, y2 = p[2].y, y3 = p[3].y, y4 = p[4].y;
  const int x0 = p[4].x, x1 = p[5].x, x2 = p[6].x, x3 = p[7].x, x4 = p[8].x;
  MainTrainingResult r;
  r.raRate = (std::abs(x1 - x2) + std::abs(x3 - x4)) / (2 * t);
  r.raBacklash = (std::abs(x0 - x4) + std::abs(x1 - x3)) / (2 * t);
  r.decRate = std::max(std::abs(y1 - y2), std::abs(y3 - y4)) / t;
  r.decBacklash = std::max(std::abs(y0 - y4), std::abs(y1 - y3)) / t;
  return r;
}

std::string MainTrainingText(const MainTrainingResult& r) {
  char text[96];
  std::snprintf(text, sizeof text, "slewx = %5d, slewy = %5d\nbacklashx = %5d, backlashy = %5d", r.raRate, r.decRate,
                r.raBacklash, r.decBacklash);
  return text;
}

MainTrainingOperation::MainTrainingOperation(ProgramState& state, Host& host, Clock& clock, std::uint32_t exposureMs)
    : state_(state), host_(host), clock_(clock), exposureMs_(exposureMs) {}

WakeTime MainTrainingOperation::start(std::uint32_t) {
  const char mode = state_.settings.telescopeGuiding;
  GuidingState& g = state_.guiding;
  if (mode == 'n') return kOperationFinished;
  if (!g.guideStarChosen) {
    host_.showMessage({std::string(kMessageCaption), "No guiding star selected", MessageIcon::None});
    return kOperationFinished;
  }
  const bool firstUse = !g.telescopeInitialised;
  if (!PrepareTelescope(state_, host_, clock_, true)) return kOperationFinished;
  if (mode == 'b' && firstUse) {
    for (SkyDirection d : {SkyDirection::North, SkyDirection::South, SkyDirection::East, SkyDirection::West}) {
      if (!SocketPulse(state_, host_, clock_, d, 100)) return kOperationFinished;
    }
  }
  running_ = true;
  g.mainGuidingRunning = true;
  placement_ = StartGuideSubFrame(state_, host_);
  g.guideStar = {placement_.starX, placement_.starY, 0, 0};
  return exposeNext();
}

WakeTime MainTrainingOperation::exposeNext() {
  if (measured_ > 0) {
    const ProgramSettings& s = state_.settings;
    const SkyDirection d = kMoves[static_cast<std::size_t>(measured_ - 1)];
    const bool dec = d == SkyDirection::North || d == SkyDirection::South;
    const int ms = std::max(s.trainingSeconds * 1000 - (dec ? s.decHysteresis : s.raHysteresis), 0);
    // The moves go the named way in either mode; the swap options choose
    // the letters of corrections only.
    const bool ok = s.telescopeGuiding == 'l'
                        ? LxGuidePulse(state_, host_, clock_, SkyLetter(d), static_cast<std::uint32_t>(ms))
                        : SocketPulse(state_, host_, clock_, d, static_cast<std::uint32_t>(ms));
    if (!ok) return finish();
  }
  if (!ClearSensor(state_, host_)) return finish();
  return clock_.milliseconds() + exposureMs_;
}

WakeTime MainTrainingOperation::step(std::uint32_t) {
  if (!running_) return kOperationFinished;
  GuidingState& g = state_.guiding;
  if (!ReadMainWindow128(state_, host_, placement_.originX, placement_.originY, exposureMs_)) return finish();
  host_.requestRebuildDisplay();
  // At the last place, then again at what was found.
  for (int i = 0; i < 2; ++i) {
    if (!FindCentre(state_, host_, g.guideStar.x, g.guideStar.y, CentreSource::MainCamera)) return finish();
  }
  positions_.p[static_cast<std::size_t>(measured_)] = g.guideStar;
  if (++measured_ < static_cast<int>(positions_.p.size())) return exposeNext();

  result_ = ComputeMainTraining(positions_, state_.settings.trainingSeconds);
  host_.showMessage({std::string(kMessageCaption), MainTrainingText(result_), MessageIcon::None});
  ProgramSettings& s = state_.settings;
  s.raRate = static_cast<std::int16_t>(std::max(result_.raRate, 1));
  s.decRate = static_cast<std::int16_t>(std::max(result_.decRate, 1));
  // The settings file refuses a backlash above 30 and would then reset every
  // later setting on the next load: a larger measurement is kept as 30.
  s.raBacklash = static_cast<std::int16_t>(std::min(result_.raBacklash, kMostBacklash));
  s.decBacklash = static_cast<std::int16_t>(std::min(result_.decBacklash, kMostBacklash));
  settingsSaved_ = SaveSettings(s, state_.paths) == SettingsStatus::Ok;
  if (!settingsSaved_) ShowMessage(host_, 24);
  succeeded_ = true;
  return finish();
}

WakeTime MainTrainingOperation::finish() {
  if (!running_) return kOperationFinished;
  running_ = false;
  state_.guiding.mainGuidingRunning = false;
  ReleaseSocketOnExit(state_, host_);
  EndGuideSubFrame(state_);
  host_.requestRebuildDisplay();
  return kOperationFinished;
}

void MainTrainingOperation::cancel() { finish(); }

}  // namespace qv
