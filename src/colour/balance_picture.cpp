#include "colour/balance_picture.h"

#include <algorithm>

namespace qv {

BalancePicture BuildBalancePicture(const ColourState& colour, const std::array<ColourBalance, 3>& values) {
  BalancePicture picture;
  for (int h = 0; h < 3; ++h) {
    const int plane = kBalanceHistogramPlane[h];
    for (int i = 0; i < kColourHistogramBins; ++i) {
      const std::uint32_t height = colour.histograms[plane][i] / kBalanceCountsPerPixel;
      BalanceBar& bar = picture.bars[h][i];
      bar.clipped = height > static_cast<std::uint32_t>(kBalanceBarMax);
      bar.height = bar.clipped ? kBalanceBarMax : static_cast<int>(height);
    }
    auto at = [&](int value) { return kBalanceHistogramLeft[h] + std::clamp(value / 2, 0, kColourHistogramBins - 1); };
    picture.markers[2 * h] = {at(values[plane].minimum), h, false};
    picture.markers[2 * h + 1] = {at(values[plane].maximum), h, true};
  }
  return picture;
}

}  // namespace qv
