#pragma once
// The thresholded median filter for noise: a pixel is replaced by the median
// of its window only when it stands out from it by more than a share of the
// window's range.

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kMedianMaxRadius = 3;
inline constexpr int kMedianMaxPowerTenths = 10;

// Radius 1 to 3; power in tenths, 1 to 10. Rows and columns within the radius
// of the edge (and the header band) keep their values. Records the history
// line.
void MedianFilter(ProgramState& state, Host& host, int radius, int powerTenths, bool rebuild = true);

}  // namespace qv
