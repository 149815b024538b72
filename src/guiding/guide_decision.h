#pragma once
// One guiding frame's decision: how far the star has drifted from the
// reference, and which pulses to send to pull it back. Pure arithmetic on the
// settings and the last directions sent, so a frame's choice can be shown
// without moving the mount.

#include <cstdint>

#include "app/program_settings.h"
#include "guiding/guiding_state.h"

namespace qv {

inline constexpr int kMainSkipError = 5000;  // thousandths of a pixel
inline constexpr int kGuiderSkipError = 8000;
inline constexpr int kMainColumnMinimum = 50;  // when small drifts are not ignored
inline constexpr int kRowMinimum = 30;
inline constexpr int kGuiderColumnMinimum = 30;

// The drift in thousandths of a pixel: positive when the star now sits at a
// smaller column or row than the reference. Kept wide so a large jump is seen
// as large before anything narrows it.
struct DriftError {
  int column = 0;
  int row = 0;
};
DriftError MeasureDrift(const StarPosition& reference, const StarPosition& star);

struct AxisCorrection {
  bool corrected = false;  // the error passed the threshold (and the axis is on)
  char letter = 0;         // direction letter chosen
  bool reversed = false;   // differs from the last direction: backlash was added
  int magnitude = 0;       // |error| plus any backlash, thousandths of a pixel
  int durationMs = 0;      // the pulse length; no pulse when 0 or less
  [[nodiscard]] bool pulse() const { return corrected && durationMs > 0; }
};

struct GuideDecision {
  DriftError error;
  bool skipped = false;  // the jump is too large to trust; nothing is sent
  AxisCorrection column, row;
};

// The settings an axis decision uses; the main camera and the guider camera
// each fill one from their own values.
struct AxisRule {
  int threshold = 0;   // |error| must exceed this, thousandths of a pixel
  int rate = 1;        // pixels per second; 0 acts as 1
  int backlash = 0;    // whole pixels
  int hysteresis = 0;  // hundreds of milliseconds
};

// Decides one axis and records the direction in `last` whenever the axis is
// corrected, even when the hysteresis leaves no pulse.
AxisCorrection DecideAxis(const AxisRule& rule, int error, char letter, char& last);

// The main camera's step: skip above 5000, column above 50 (or the drift
// threshold), row above 30 (or the threshold) unless north or south
// corrections are off.
GuideDecision DecideMainCorrection(const ProgramSettings& settings, GuidingState& guiding,
                                   const StarPosition& reference, const StarPosition& star);

// The guider camera's step towards the mount, with default rates or with the
// trained vectors and rotation.
GuideDecision DecideGuiderCorrection(const ProgramSettings& settings, GuidingState& guiding,
                                     const StarPosition& reference, const StarPosition& star);

// The guider camera's step toward the AO unit: steps per pixel from the rates
// in use, letters from the AO swap options.
struct AoDecision {
  DriftError error;
  bool skipped = false;
  char columnLetter = 0, rowLetter = 0;  // n, s, e or w; 0 for none
  int columnSteps = 0, rowSteps = 0;
};
AoDecision DecideAoCorrection(const ProgramSettings& settings, const StarPosition& reference, const StarPosition& star);

// Keeps the last decision's errors (16-bit, for display) and pulse lengths.
void RecordDecision(GuidingState& guiding, const GuideDecision& decision);

}  // namespace qv
