#pragma once
// The picture of the colour starting balance dialog: the three colour
// histograms side by side (red, green, blue) and, in a band below them, a
// marker at each colour's minimum and maximum.

#include <array>

#include "colour/colour_state.h"

namespace qv {

inline constexpr int kBalanceBarBase = 210;  // bars rise from this row
inline constexpr int kBalanceBarMax = 210;   // taller bars are cut here
inline constexpr int kBalanceCountsPerPixel = 15;
// Left column of the red, green and blue histograms.
inline constexpr std::array<int, 3> kBalanceHistogramLeft = {8, 158, 308};
// The planes drawn in those places (red, green, blue).
inline constexpr std::array<int, 3> kBalanceHistogramPlane = {0, 2, 1};
inline constexpr int kBalanceBandLeft = 4, kBalanceBandTop = 219;
inline constexpr int kBalanceBandRight = 448, kBalanceBandBottom = 232;

struct BalanceBar {
  int height = 0;
  bool clipped = false;  // the count was over the top: drawn with the clip pen
};

struct BalanceMarker {
  int x = 0;
  int histogram = 0;  // 0 red, 1 green, 2 blue, as laid out
  bool maximum = false;
};

struct BalancePicture {
  // Per histogram (red, green, blue), bin i drawn at x = left + i.
  std::array<std::array<BalanceBar, kColourHistogramBins>, 3> bars{};
  // Minimum and maximum of each histogram, in that order.
  std::array<BalanceMarker, 6> markers{};
};

// A marker sits over the bin its value starts: values are in steps of 256
// and bins 512 wide, so value v marks bin v / 2 (a negative minimum the
// first bin).
BalancePicture BuildBalancePicture(const ColourState& colour, const std::array<ColourBalance, 3>& values);

}  // namespace qv
