#include "guiding/guide_decision.h"

#include <cmath>
#include <cstdlib>

#include "guiding/telescope_commands.h"

namespace qv {

namespace {

int Threshold(const ProgramSettings& s, int minimum) { return s.ignoreSmallDrift ? s.driftThreshold : minimum; }

bool TooLarge(const DriftError& e, int limit) { return std::abs(e.column) > limit || std::abs(e.row) > limit; }

// The duration for a magnitude: whole milliseconds at the drive's rate, less
// the hysteresis. A stored rate of 0 acts as 1 so the division stays defined.
int Duration(int magnitude, int rate, int hysteresis) {
  const int r = rate == 0 ? 1 : std::abs(rate);
  return magnitude / r - hysteresis * 100;
}

}  // namespace

DriftError MeasureDrift(const StarPosition& reference, const StarPosition& star) {
  return {(reference.x - star.x) * 1000 + (reference.tenthsX - star.tenthsX) * 1000 / 10,
          (reference.y - star.y) * 1000 + (reference.tenthsY - star.tenthsY) * 1000 / 10};
}

AxisCorrection DecideAxis(const AxisRule& rule, int error, char letter, char& last) {
  AxisCorrection a;
  if (std::abs(error) <= rule.threshold) return a;
  a.corrected = true;
  a.letter = letter;
  a.magnitude = std::abs(error);
  // Backlash lengthens the pulse whichever way the axis turns.
  if (letter != last) {
    a.reversed = true;
    a.magnitude += rule.backlash * 1000;
  }
  last = letter;
  a.durationMs = Duration(a.magnitude, rule.rate, rule.hysteresis);
  return a;
}

GuideDecision DecideMainCorrection(const ProgramSettings& s, GuidingState& g, const StarPosition& reference,
                                   const StarPosition& star) {
  GuideDecision d;
  d.error = MeasureDrift(reference, star);
  // The size test comes before anything narrows the error, so a jump of 60
  // pixels cannot wrap into a small one.
  if (TooLarge(d.error, kMainSkipError)) {
    d.skipped = true;
    return d;
  }
  d.column = DecideAxis({Threshold(s, kMainColumnMinimum), s.raRate, s.raBacklash, s.raHysteresis}, d.error.column,
                        CorrectionLetter(s, false, d.error.column), g.lastXDirection);
  const bool rowOff = d.error.row > 0 ? s.northCorrectionsOff : s.southCorrectionsOff;
  if (!rowOff) {
    d.row = DecideAxis({Threshold(s, kRowMinimum), s.decRate, s.decBacklash, s.decHysteresis}, d.error.row,
                       CorrectionLetter(s, true, d.error.row), g.lastYDirection);
  }
  return d;
}

GuideDecision DecideGuiderCorrection(const ProgramSettings& s, GuidingState& g, const StarPosition& reference,
                                     const StarPosition& star) {
  GuideDecision d;
  d.error = MeasureDrift(reference, star);
  if (TooLarge(d.error, kGuiderSkipError)) {
    d.skipped = true;
    return d;
  }
  const GuiderTraining& t = g.guiderTraining;
  const bool rowOff = d.error.row > 0 ? s.northCorrectionsOff : s.southCorrectionsOff;
  if (!t.useTrained || s.ignoreRaAngle) {
    d.column =
        DecideAxis({Threshold(s, kGuiderColumnMinimum), s.guiderRaRate, s.guiderRaBacklash, s.guiderRaHysteresis},
                   d.error.column, CorrectionLetter(s, false, d.error.column), g.lastXDirection);
    if (!rowOff) {
      d.row = DecideAxis({Threshold(s, kRowMinimum), s.guiderDecRate, s.guiderDecBacklash, s.guiderDecHysteresis},
                         d.error.row, CorrectionLetter(s, true, d.error.row), g.lastYDirection);
    }
    return d;
  }
  // Trained: turn the error through the angle between the drift and the
  // mount's RA axis on the guider frame, then pulse along the mount's axes.
  const int column = d.error.column, row = d.error.row;
  const double w = std::sqrt(static_cast<double>(column) * column + static_cast<double>(row) * row);
  const double b = row == 0 ? 0.0 : std::atan(static_cast<double>(std::abs(column) / std::abs(row)));
  const double e = std::abs(std::abs(static_cast<int>(b)) - std::abs(static_cast<int>(t.theta)));
  const int turnedColumn = static_cast<int>(std::cos(e) * w);
  const int turnedRow = static_cast<int>(w * std::sin(e));
  const bool positiveColumn = (column > 0 && t.quadrant < 3) || (column < 0 && t.quadrant > 2);
  const bool positiveRow =
      (row > 0 && (t.quadrant == 1 || t.quadrant == 4)) || (row < 0 && (t.quadrant == 2 || t.quadrant == 3));
  // Every turned error is corrected; only the hysteresis can leave it unsent.
  d.column = DecideAxis({-1, t.raMagnitude, t.raBacklash, s.guiderRaHysteresis}, turnedColumn,
                        CorrectionLetter(s, false, positiveColumn ? 1 : -1), g.lastXDirection);
  if (!rowOff) {
    d.row = DecideAxis({-1, t.decMagnitude, t.decBacklash, s.guiderDecHysteresis}, turnedRow,
                       CorrectionLetter(s, true, positiveRow ? 1 : -1), g.lastYDirection);
  }
  return d;
}

AoDecision DecideAoCorrection(const ProgramSettings& s, const StarPosition& reference, const StarPosition& star) {
  AoDecision d;
  d.error = MeasureDrift(reference, star);
  if (std::abs(d.error.column) > kGuiderSkipError || std::abs(d.error.row) > kGuiderSkipError) {
    d.skipped = true;
    return d;
  }
  if (std::abs(d.error.column) > kGuiderColumnMinimum) {
    const int steps = std::abs(d.error.column * s.aoDefault1) / 1000;
    if (steps > 0) {
      d.columnLetter = d.error.column > 0 ? s.aoSwapLeftRight[1] : s.aoSwapLeftRight[0];
      d.columnSteps = steps;
    }
  }
  if (std::abs(d.error.row) > kRowMinimum) {
    const int steps = std::abs(d.error.row * s.aoDefault2) / 1000;
    if (steps > 0) {
      d.rowLetter = d.error.row > 0 ? s.aoSwapUpDown[0] : s.aoSwapUpDown[1];
      d.rowSteps = steps;
    }
  }
  return d;
}

void RecordDecision(GuidingState& g, const GuideDecision& d) {
  g.columnError = static_cast<std::int16_t>(d.error.column);
  g.rowError = static_cast<std::int16_t>(d.error.row);
  g.lastXPulseMs = d.column.pulse() ? d.column.durationMs : 0;
  g.lastYPulseMs = d.row.pulse() ? d.row.durationMs : 0;
}

}  // namespace qv
