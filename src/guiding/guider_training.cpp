#include "guiding/guider_training.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/messages.h"
#include "app/settings_file.h"
#include "camera/camera_commands.h"
#include "guiding/ao_unit.h"
#include "guiding/find_centre.h"
#include "guiding/guide_socket.h"
#include "guiding/guider_exposure.h"
#include "guiding/guider_guiding.h"
#include "guiding/telescope_commands.h"

namespace qv {

namespace {

using D = SkyDirection;

struct Move {
  const char* caption;
  D direction;
  int tenthsOfT;  // the pulse lasts T x this x 100 ms
};
// Before move 6 the mount rests half a second.
constexpr std::uint32_t kPauseBeforeDecMs = 500;
constexpr std::array<Move, 8> kMountMoves{{{"slewing West", D::West, 1},
                                           {"slewing West again", D::West, 10},
                                           {"slewing West third time", D::West, 10},
                                           {"slewing East", D::East, 10},
                                           {"slewing West to stabilise", D::West, 10},
                                           {"slewing North", D::North, 2},
                                           {"slewing North again", D::North, 10},
                                           {"slewing South", D::South, 10}}};
struct AoMove {
  D direction;
  std::uint32_t waitMs;
};
constexpr std::array<AoMove, 4> kAoMoves{{{D::West, 250}, {D::East, 250}, {D::North, 250}, {D::South, 50}}};

int Length(int x, int y) {
  return static_cast<int>(std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y));
}

// A place in tenths of a pixel.
int TenthsX(const StarPosition& p) { return p.x * 10 + p.tenthsX; }
int TenthsY(const StarPosition& p) { return p.y * 10 + p.tenthsY; }

}  // namespace

GuiderTraining ComputeGuiderTraining(const GuiderPlaces& p, int seconds) {
  const int t = std::max(seconds, 1);
  GuiderTraining r;
  // The three west moves last 2.1 T seconds; the RA drift is taken over 2 T
  // in whole pixels.
  r.raX = (p[3].x - p[0].x) / (2 * t);
  r.raY = (p[3].y - p[0].y) / (2 * t);
  r.theta = r.raY == 0 ? 0.0f : static_cast<float>(std::atan(static_cast<double>(std::abs(r.raX) / std::abs(r.raY))));
  r.quadrant = 1 + (r.raY < 0 ? 1 : 0) + (r.raX < 0 ? 1 : 0);
  r.raMagnitude = std::max(Length(r.raX, r.raY), 1);
  // The two north moves last 1.2 T seconds together: the Dec drift per
  // second is their displacement over that time, measured in tenths since
  // the move is only a few pixels.
  r.decX = (TenthsX(p[7]) - TenthsX(p[5])) * 5 / (60 * t);
  r.decY = (TenthsY(p[7]) - TenthsY(p[5])) * 5 / (60 * t);
  r.decMagnitude = std::max(Length(r.decX, r.decY), 1);
  r.raBacklashX = std::abs(p[3].x - (p[4].x + r.raX * t));
  r.raBacklashY = std::abs(p[3].y - (p[4].y + r.raY * t));
  r.raBacklash = Length(r.raBacklashX, r.raBacklashY);
  r.decBacklashX = std::abs(p[7].x - (p[8].x + r.decX * t));
  r.decBacklashY = std::abs(p[7].y - (p[8].y + r.decY * t));
  r.decBacklash = Length(r.decBacklashX, r.decBacklashY);
  r.trained = r.useTrained = true;
  return r;
}

std::string GuiderTrainingText(const GuiderTraining& t) {
  char text[256];
  std::snprintf(text, sizeof text,
                "slew RA = %5d,%5d, %5d\nslew Dec = %5d, %5d, %5d\nbacklash RA = %5d, %5d, %5d\nbacklash Dec = %5d, "
                "%5d, %5d\nTheta = %5d",
                t.raX, t.raY, t.raMagnitude, t.decX, t.decY, t.decMagnitude, t.raBacklashX, t.raBacklashY, t.raBacklash,
                t.decBacklashX, t.decBacklashY, t.decBacklash, static_cast<int>(t.theta));
  return text;
}

std::optional<AoTrainingResult> ComputeAoTraining(const GuiderPlaces& p) {
  // Measured in tenths: 25 steps move the star only a pixel or two, so whole
  // pixels give 25 or 12 steps a pixel for an element that needs 20 (or no
  // rate at all when the halved displacement comes to 0).
  AoTrainingResult r;
  r.raX = (2 * TenthsX(p[1]) - TenthsX(p[0]) - TenthsX(p[2])) / 2;
  r.raY = (2 * TenthsY(p[1]) - TenthsY(p[0]) - TenthsY(p[2])) / 2;
  r.decX = (2 * TenthsX(p[3]) - TenthsX(p[2]) - TenthsX(p[4])) / 2;
  r.decY = (2 * TenthsY(p[3]) - TenthsY(p[2]) - TenthsY(p[4])) / 2;
  const double ra = std::hypot(r.raX, r.raY), dec = std::hypot(r.decX, r.decY);
  if (ra < 1 || dec < 1) return std::nullopt;
  r.raRate = std::max(static_cast<int>(kAoTrainingSteps * 10 / ra), 1);
  r.decRate = std::max(static_cast<int>(kAoTrainingSteps * 10 / dec), 1);
  return r;
}

GuiderTrainingOperation::GuiderTrainingOperation(ProgramState& state, Host& host, Clock& clock, GuiderTrainingKind kind,
                                                 std::uint32_t exposureMs)
    : state_(state), host_(host), clock_(clock), kind_(kind), exposureMs_(exposureMs) {}

int GuiderTrainingOperation::moves() const {
  return kind_ == GuiderTrainingKind::Mount ? static_cast<int>(kMountMoves.size()) : static_cast<int>(kAoMoves.size());
}

WakeTime GuiderTrainingOperation::start(std::uint32_t) {
  if (!state_.guiding.guiderStarChosen) {
    host_.showMessage({std::string(kMessageCaption), "No guiding star selected", MessageIcon::None});
    return kOperationFinished;
  }
  if (!PrepareTelescope(state_, host_, clock_, true)) return kOperationFinished;
  running_ = true;
  // The start is measured afresh: the star may have moved since it was picked.
  if (!FlushGuider(state_, host_)) return finish();
  return clock_.milliseconds() + exposureMs_;
}

// Makes move `done_ + 1` and starts its frame.
WakeTime GuiderTrainingOperation::moveNext() {
  const ProgramSettings& s = state_.settings;
  bool ok = true;
  if (kind_ == GuiderTrainingKind::Mount) {
    const Move& m = kMountMoves[static_cast<std::size_t>(done_)];
    if (done_ == 5 && !paused_) {
      // The mount settles before the Dec moves; the caption says so meanwhile.
      paused_ = true;
      pausing_ = true;
      caption_ = std::string(kGuiderCaption) + " - Training / pausing for 1/2 second";
      return clock_.milliseconds() + kPauseBeforeDecMs;
    }
    caption_ = std::string(kGuiderCaption) + " - Training / " + m.caption;
    const auto ms = static_cast<std::uint32_t>(s.guiderTrainingSeconds * m.tenthsOfT * 100);
    ok = s.telescopeGuiding == 'l' ? LxGuidePulse(state_, host_, clock_, SkyLetter(m.direction), ms)
                                   : SocketPulse(state_, host_, clock_, m.direction, ms);
    clock_.sleepMs(200);
  } else {
    const AoMove& m = kAoMoves[static_cast<std::size_t>(done_)];
    ok = AoStep(state_, host_, clock_, m.direction, kAoTrainingSteps);
    clock_.sleepMs(m.waitMs);
  }
  if (!ok || !FlushGuider(state_, host_)) return finish();
  return clock_.milliseconds() + exposureMs_;
}

// Finds the star after move `index` at its predicted place, then again at
// what was found.
bool GuiderTrainingOperation::measure(int index) {
  const auto& p = places_;
  int px = p[0].x, py = p[0].y;
  int e = 0, g = 0;
  if (kind_ == GuiderTrainingKind::Mount && index >= 2) {
    e = 9 * (p[1].x - p[0].x) + 1;
    g = 9 * (p[1].y - p[0].y) + 1;
  }
  if (kind_ == GuiderTrainingKind::Mount) {
    const auto& prev = p[static_cast<std::size_t>(index - 1)];
    px = prev.x;
    py = prev.y;
    if (index == 2 || index == 3 || index == 5) px += e, py += g;
    if (index == 7) px = 5 * (p[6].x - p[5].x) + p[6].x + 1, py = 5 * (p[6].y - p[5].y) + p[6].y + 1;
  }
  auto found = FindCentre(state_, host_, px, py, CentreSource::GuiderCamera);
  if (!found) return false;
  int qx = found->x, qy = found->y;
  if (kind_ == GuiderTrainingKind::Mount && index == 4) qx -= e, qy -= g;
  found = FindCentre(state_, host_, qx, qy, CentreSource::GuiderCamera);
  if (!found) return false;
  places_[static_cast<std::size_t>(index)] = *found;
  return true;
}

WakeTime GuiderTrainingOperation::step(std::uint32_t) {
  if (!running_) return kOperationFinished;
  if (pausing_) {
    pausing_ = false;
    return moveNext();
  }
  if (!ReadGuiderFrame(state_, host_, exposureMs_)) return finish();
  FinishGuiderFrame(state_, state_.guiding.guiderDark);
  host_.requestRebuildDisplay();
  if (!startMeasured_) {
    const StarPosition picked = state_.guiding.guiderStar;
    for (int i = 0; i < 2; ++i) {
      const StarPosition at = state_.guiding.guiderStar;
      if (!FindCentre(state_, host_, at.x, at.y, CentreSource::GuiderCamera)) {
        state_.guiding.guiderStar = picked;
        return finish();
      }
    }
    places_[0] = state_.guiding.guiderStar;
    startMeasured_ = true;
    return moveNext();
  }
  if (!measure(done_ + 1)) return finish();
  if (++done_ < moves()) return moveNext();
  return complete();
}

WakeTime GuiderTrainingOperation::complete() {
  ProgramSettings& s = state_.settings;
  if (kind_ == GuiderTrainingKind::Mount) {
    state_.guiding.guiderTraining = ComputeGuiderTraining(places_, s.guiderTrainingSeconds);
    host_.showMessage(
        {std::string(kMessageCaption), GuiderTrainingText(state_.guiding.guiderTraining), MessageIcon::None});
  } else {
    const auto result = ComputeAoTraining(places_);
    if (!result) {
      host_.showMessage({std::string(kMessageCaption), "AO training measured no movement - the earlier rates are kept",
                         MessageIcon::None});
      return finish();
    }
    ao_ = *result;
    s.aoLatest1 = static_cast<std::int16_t>(ao_.raRate);
    s.aoLatest2 = static_cast<std::int16_t>(ao_.decRate);
    state_.guiding.guiderDialog.aoTrained = state_.guiding.guiderDialog.aoUseTrained = true;
    char text[320];
    std::snprintf(text, sizeof text,
                  "slew RA = %5d,%5d, %5d\nslew Dec = %5d, %5d, %5d\npos 1 = %5d, %5d\npos 2 = %5d, %5d\npos 3 = %5d, "
                  "%5d\npos 4 = %5d, %5d\npos 5 = %5d, %5d\n",
                  ao_.raX, ao_.raY, ao_.raRate, ao_.decX, ao_.decY, ao_.decRate, places_[0].x, places_[0].y,
                  places_[1].x, places_[1].y, places_[2].x, places_[2].y, places_[3].x, places_[3].y, places_[4].x,
                  places_[4].y);
    host_.showMessage({std::string(kMessageCaption), text, MessageIcon::None});
  }
  settingsSaved_ = SaveSettings(s, state_.paths) == SettingsStatus::Ok;
  if (!settingsSaved_) ShowMessage(host_, 24);
  succeeded_ = true;
  return finish();
}

WakeTime GuiderTrainingOperation::finish() {
  if (!running_) return kOperationFinished;
  running_ = false;
  ReleaseSocketOnExit(state_, host_);
  caption_ = std::string(kGuiderCaption);
  return kOperationFinished;
}

void GuiderTrainingOperation::cancel() { finish(); }

}  // namespace qv
