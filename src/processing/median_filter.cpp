#include "processing/median_filter.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "processing/filter_support.h"
#include "processing/processing_pass.h"
#include "processing/row_loop_builds.h"

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
// yields the same value as extracting the five largest. Written without
// arrays or branches so that the compiler handles several columns at once.
[[gnu::always_inline]] inline void MedianRow3Body(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out,
                                                  int width, double share) {
  const std::uint16_t* __restrict above = centre - width;
  const std::uint16_t* __restrict below = centre + width;
  for (int x = 1; x < width - 1; ++x) {
    int p0 = above[x - 1], p1 = centre[x - 1], p2 = below[x - 1];
    int p3 = above[x], p4 = centre[x], p5 = below[x];
    int p6 = above[x + 1], p7 = centre[x + 1], p8 = below[x + 1];
    const int pixel = p4;
    const int maximum = std::max(std::max(std::max(p0, p1), std::max(p2, p3)),
                                 std::max(std::max(p4, p5), std::max(std::max(p6, p7), p8)));
    const int minimum = std::min(std::min(std::min(std::min(p0, p1), std::min(p2, p3)),
                                          std::min(std::min(p4, p5), std::min(std::min(p6, p7), p8))),
                                 kMinimumStart);
    Order(p1, p2);
    Order(p4, p5);
    Order(p7, p8);
    Order(p0, p1);
    Order(p3, p4);
    Order(p6, p7);
    Order(p1, p2);
    Order(p4, p5);
    Order(p7, p8);
    Order(p0, p3);
    Order(p5, p8);
    Order(p4, p7);
    Order(p3, p6);
    Order(p1, p4);
    Order(p2, p5);
    Order(p4, p7);
    Order(p2, p4);
    Order(p4, p6);
    Order(p2, p4);
    const int threshold = static_cast<int>((maximum - minimum) * share);
    const int difference = p4 > pixel ? p4 - pixel : pixel - p4;
    out[x] = static_cast<std::uint16_t>(difference > threshold ? p4 : pixel);
  }
}
#if QV_AVX2_ROW_LOOPS
[[gnu::target("avx2")]] void MedianRow3Avx2(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out,
                                            int width, double share) {
  MedianRow3Body(centre, out, width, share);
}
#endif
void MedianRow3Plain(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out, int width, double share) {
  MedianRow3Body(centre, out, width, share);
}
void MedianRow3([[maybe_unused]] bool avx2, const std::uint16_t* centre, std::uint16_t* out, int width, double share) {
#if QV_AVX2_ROW_LOOPS
  if (avx2) return MedianRow3Avx2(centre, out, width, share);
#endif
  MedianRow3Plain(centre, out, width, share);
}

// Larger windows. The median is the h-th largest value (h = n / 2 + 1),
// which extracting the upper half one maximum at a time also yields. Two
// histograms of the window slide along the row: one of every value and one
// of value / 16. The coarse one tracks the bin that holds the h-th largest
// value, the fine one then gives the value within that bin. The window
// maximum and minimum come from per-column extremes.
class SlidingMedian {
  static constexpr int kBinShift = 4;
  static constexpr int kBinWidth = 1 << kBinShift;

 public:
  SlidingMedian(int width, int radius)
      : width_(width),
        radius_(radius),
        side_(2 * radius + 1),
        rank_(side_ * side_ / 2 + 1),
        columnMax_(width),
        columnMin_(width),
        fine_(65536, 0),
        coarse_(65536 / kBinWidth, 0) {}

  void row(const std::uint16_t* centre, std::uint16_t* out, double share) {
    if (width_ < side_) return;
    const std::uint16_t* top = centre - static_cast<std::ptrdiff_t>(radius_) * width_;
    const std::ptrdiff_t stride = width_;
    for (int x = 0; x < width_; ++x) {
      int high = top[x], low = top[x];
      for (int j = 1; j < side_; ++j) {
        const int v = top[j * stride + x];
        high = std::max(high, v);
        low = std::min(low, v);
      }
      columnMax_[x] = high;
      columnMin_[x] = low;
    }
    std::uint8_t* fine = fine_.data();
    std::uint8_t* coarse = coarse_.data();
    int bin = static_cast<int>(coarse_.size()) - 1;
    int above = 0;  // window values in bins above `bin`
    const auto column = [&](int x, int sign) {
      for (int j = 0; j < side_; ++j) {
        const int v = top[j * stride + x];
        fine[v] += sign;
        coarse[v >> kBinShift] += sign;
        above += (v >> kBinShift) > bin ? sign : 0;
      }
    };
    for (int x = 0; x < side_; ++x) column(x, +1);
    for (int x = radius_; x < width_ - radius_; ++x) {
      if (x > radius_) {
        column(x - radius_ - 1, -1);
        column(x + radius_, +1);
      }
      while (above >= rank_) above -= coarse[++bin];
      while (above + coarse[bin] < rank_) above += coarse[bin--];
      // Down from the top of the bin until the rank is reached.
      int value = (bin << kBinShift) + kBinWidth - 1;
      int needed = rank_ - above - fine[value];
      while (needed > 0) needed -= fine[--value];
      int maximum = columnMax_[x - radius_], minimum = kMinimumStart;
      for (int i = x - radius_; i <= x + radius_; ++i) {
        maximum = std::max(maximum, columnMax_[i]);
        minimum = std::min(minimum, columnMin_[i]);
      }
      out[x] = Decide(centre[x], value, maximum, minimum, share);
    }
    // Empty both histograms for the next row.
    for (int x = width_ - 2 * radius_ - 1; x < width_; ++x) column(x, -1);
  }

 private:
  int width_, radius_, side_, rank_;
  std::vector<int> columnMax_, columnMin_;
  // A window holds at most 49 values: a byte counts them.
  std::vector<std::uint8_t> fine_, coarse_;
};

}  // namespace

void MedianFilter(ProgramState& state, Host& host, int radius, int powerTenths, bool rebuild) {
  if (radius < 1 || radius > kMedianMaxRadius) return;
  RunProcessingPass(state, host, {.progressCaption = "MEDIAN FILTER PROGRESS", .rebuild = rebuild}, [&] {
    ImageStore& images = state.images;
    const double share = powerTenths * 0.1;
    const int width = state.geometry.width;
    const bool avx2 = UseAvx2RowLoops(state.processing.rowLoops);
    SlidingMedian sliding(width, radius);
    FilterRows(state, host, FirstFilteredRow(images.workImage, radius), state.geometry.height - radius, radius,
               width - radius, radius + 1, [&](int y) {
                 const std::size_t row = static_cast<std::size_t>(y) * width;
                 if (radius == 1) {
                   MedianRow3(avx2, images.workImage + row, images.scratchImage + row, width, share);
                 } else {
                   sliding.row(images.workImage + row, images.scratchImage + row, share);
                 }
               });
  });
  char power[32];
  std::snprintf(power, sizeof power, "%1.1f", powerTenths / 10.0);
  AddHistoryLine(state.images.history, "Median Filter : rad " + std::to_string(radius) + " ,power " + power);
}

}  // namespace qv
