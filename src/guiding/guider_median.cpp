#include "guiding/guider_median.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace qv {

void GuiderMedianFilter(std::uint16_t* frame, std::uint16_t* aux, int width, int rows) {
  if (width < 3 || rows < 3) return;
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(rows);
  std::memcpy(aux, frame, pixels * sizeof(std::uint16_t));
  std::array<std::uint16_t, 9> window{};
  for (int y = 1; y < rows - 1; ++y) {
    for (int x = 1; x < width - 1; ++x) {
      int k = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        const std::uint16_t* row = frame + static_cast<std::ptrdiff_t>(y + dy) * width;
        for (int dx = -1; dx <= 1; ++dx) window[static_cast<std::size_t>(k++)] = row[x + dx];
      }
      const auto [lo, hi] = std::minmax_element(window.begin(), window.end());
      const int range = *hi - *lo;
      // The fifth largest of nine.
      std::nth_element(window.begin(), window.begin() + 4, window.end());
      const int median = window[4];
      const int pixel = frame[static_cast<std::ptrdiff_t>(y) * width + x];
      const int allowed = static_cast<int>(0.6 * range);
      if (allowed < std::abs(median - pixel))
        aux[static_cast<std::ptrdiff_t>(y) * width + x] = static_cast<std::uint16_t>(median);
    }
  }
  std::memcpy(frame, aux, pixels * sizeof(std::uint16_t));
}

}  // namespace qv
