#include "processing/histogram_view.h"

#include <cstdio>

namespace qv {

std::vector<HistogramTick> HistogramTicks() {
  constexpr int kFirst = 40, kLast = 264, kStep = 32;
  std::vector<HistogramTick> ticks;
  for (int x = kFirst; x <= kLast; x += kStep) {
    // Longer ticks mark the quarter and the middle of the scale.
    int bottom = 217;
    if (x == 72 || x == 200) bottom = 220;
    if (x == 136) bottom = 224;
    ticks.push_back({x, bottom});
  }
  return ticks;
}

HistogramPicture BuildHistogramPicture(const std::array<std::uint32_t, 257>& counts) {
  HistogramPicture picture;
  picture.listing = kHistogramListingHead;
  int listed = 0;
  for (int level = 0; level < 256; ++level) {
    const std::uint32_t height = counts[static_cast<std::size_t>(level)] / kHistogramCountsPerPixel;
    if (height > kHistogramMaxBar) {
      picture.heights[static_cast<std::size_t>(level)] = kHistogramMaxBar;
      picture.highlighted[static_cast<std::size_t>(level)] = true;
      if (listed < kHistogramListedLevels) {
        char line[48];
        std::snprintf(line, sizeof line, "%04d  %9lu \n", level,
                      static_cast<unsigned long>(height) * kHistogramCountsPerPixel);
        picture.listing += line;
        ++listed;
      }
    } else {
      picture.heights[static_cast<std::size_t>(level)] = static_cast<int>(height);
    }
  }
  return picture;
}

}  // namespace qv
