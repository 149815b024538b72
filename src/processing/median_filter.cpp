#include "processing/median_filter.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "processing/filter_support.h"

namespace qv {

namespace {

// The window minimum is tracked from this value, so it is never above it.
constexpr int kMinimumStart = 65'000;

inline std::uint16_t Decide(int pixel, int median, int maximum, int minimum, double share) {
  const int threshold = static_cast<int>((maximum - minimum) * share);
  const int difference = median > pixel ? median - pixel : pixel - median;
  return static_cast<std::uint16_t>(difference > threshold ? median : pixel);
}

inline void Order(int& a, int& b) {
  const int low = std::min(a, b);
  b = std::max(a, b);
  a = low;
}

// 3 by 3 windows: the median comes from a fixed exchange network, which
// yields the same value as extracting the five largest.
void MedianRow3(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out, int width, double share) {
  const std::uint16_t* above = centre - width;
  const std::uint16_t* below = centre + width;
  for (int x = 1; x < width - 1; ++x) {
    int p[9] = {above[x - 1], centre[x - 1], below[x - 1], above[x], centre[x],
                below[x],     above[x + 1],  centre[x + 1], below[x + 1]};
    int maximum = p[0], minimum = kMinimumStart;
    for (int v : p) {
      maximum = std::max(maximum, v);
      minimum = std::min(minimum, v);
    }
    Order(p[1], p[2]); Order(p[4], p[5]); Order(p[7], p[8]);
    Order(p[0], p[1]); Order(p[3], p[4]); Order(p[6], p[7]);
    Order(p[1], p[2]); Order(p[4], p[5]); Order(p[7], p[8]);
    Order(p[0], p[3]); Order(p[5], p[8]); Order(p[4], p[7]);
    Order(p[3], p[6]); Order(p[1], p[4]); Order(p[2], p[5]);
    Order(p[4], p[7]); Order(p[2], p[4]); Order(p[4], p[6]);
    Order(p[2], p[4]);
    out[x] = Decide(centre[x], p[4], maximum, minimum, share);
  }
}

// Larger windows: the upper half is selected, not sorted.
void MedianRowAny(const std::uint16_t* centre, std::uint16_t* out, int width, int radius, double share) {
  const int side = 2 * radius + 1;
  const int count = side * side;
  const int upper = count / 2 + 1;
  int values[(2 * kMedianMaxRadius + 1) * (2 * kMedianMaxRadius + 1)];
  for (int x = radius; x < width - radius; ++x) {
    int n = 0;
    int minimum = kMinimumStart;
    for (int i = -radius; i <= radius; ++i) {
      for (int j = -radius; j <= radius; ++j) {
        const int v = centre[static_cast<std::ptrdiff_t>(j) * width + x + i];
        minimum = std::min(minimum, v);
        values[n++] = v;
      }
    }
    std::nth_element(values, values + upper - 1, values + count, std::greater<int>());
    const int maximum = *std::max_element(values, values + upper);
    out[x] = Decide(centre[x], values[upper - 1], maximum, minimum, share);
  }
}

}  // namespace

void MedianFilter(ProgramState& state, Host& host, int radius, int powerTenths, bool rebuild) {
  if (radius < 1 || radius > kMedianMaxRadius) return;
  WaitCursor wait(host);
  ImageStore& images = state.images;
  const FrameGeometry& geometry = state.geometry;
  SaveUndo(images, geometry);
  ResetBufferPointers(images);
  host.openProgress("MEDIAN FILTER PROGRESS");
  CopyFrame(images.scratchImage, images.workImage, geometry);
  const double share = powerTenths * 0.1;

  const int width = geometry.width;
  for (int y = FirstFilteredRow(images.workImage, radius); y < geometry.height - radius; ++y) {
    host.setProgress(FilterProgress(geometry, y));
    const std::size_t row = static_cast<std::size_t>(y) * width;
    if (radius == 1) {
      MedianRow3(images.workImage + row, images.scratchImage + row, width, share);
    } else {
      MedianRowAny(images.workImage + row, images.scratchImage + row, width, radius, share);
    }
  }

  CopyFrame(images.workImage, images.scratchImage, geometry);
  host.closeProgress();
  host.requestRepaint();
  if (rebuild) host.requestRebuildDisplay();
  char power[32];
  std::snprintf(power, sizeof power, "%1.1f", powerTenths / 10.0);
  AddHistoryLine(images.history, "Median Filter : rad " + std::to_string(radius) + " ,power " + power);
}

}  // namespace qv
