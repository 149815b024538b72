#pragma once
// The thresholded median filter for noise: a pixel is replaced by the median
// of its window only when it stands out from it by more than a share of the
// window's range.

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kMedianMaxRadius = 3;
inline constexpr int kMedianMaxPowerTenths = 10;

// Whether a pixel `difference` away from its window's median stands out from
// a window whose values span `range`: by more than the range times the power
// (in tenths) times 0.1, rounded down. Compared in integers, which gives the
// same answer for every range a 16-bit image can have.
inline bool MedianStandsOut(int difference, int range, int powerTenths) {
  return difference * 10 > range * powerTenths;
}

// Radius 1 to 3; power in tenths, 1 to 10. Rows and columns within the radius
// of the edge (and the header band) keep their values. Records the history
// line.
void MedianFilter(ProgramState& state, Host& host, int radius, int powerTenths, bool rebuild = true);

}  // namespace qv
