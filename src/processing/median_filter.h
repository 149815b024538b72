#pragma once
// The thresholded median filter for noise: a pixel is replaced by the median
// of its window only when it stands out from it by more than a share of the
// window's range.

#include <cstdint>

#include "app/host.h"
#include "app/program_state.h"

namespace qv {

inline constexpr int kMedianMaxRadius = 3;
inline constexpr int kMedianMaxPowerTenths = 10;

// The most a pixel may differ from its window's median and keep its value:
// the window's `range` times the power (in tenths) times 0.1, rounded down.
// Computed in 16-bit steps (range / 10 by a multiply and shift, then the
// remainder's share), which gives the same number for every range a 16-bit
// image can have.
inline int MedianThreshold(int range, int powerTenths) {
  const auto r = static_cast<std::uint16_t>(range);
  const auto p = static_cast<std::uint16_t>(powerTenths);
  const auto tenth = static_cast<std::uint16_t>(static_cast<std::uint16_t>((std::uint32_t{r} * 52'429u) >> 16) >> 3);
  const auto rest = static_cast<std::uint16_t>(r - tenth * 10);
  const auto restShare =
      static_cast<std::uint16_t>((std::uint32_t{static_cast<std::uint16_t>(rest * p)} * 6'554u) >> 16);
  return static_cast<std::uint16_t>(tenth * p + restShare);
}

// Radius 1 to 3; power in tenths, 1 to 10. Rows and columns within the radius
// of the edge (and the header band) keep their values. Records the history
// line.
void MedianFilter(ProgramState& state, Host& host, int radius, int powerTenths, bool rebuild = true);

}  // namespace qv
