#include "processing/median_filter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "processing/filter_support.h"
#include "processing/median_network.h"
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

// Larger windows (radius 2 and 3). The median is the middle one of the
// window's values in order, which extracting the upper half one maximum at a
// time also yields. Sixteen neighbouring windows are sorted at once by an
// exchange network on vectors of pixels; only the middle output and the two
// ends are kept. Windows left over at the end of a row (fewer than sixteen)
// are sorted one at a time.
using PixelVector [[gnu::vector_size(32)]] = std::uint16_t;
constexpr int kVectorPixels = 16;

template <int Radius>
[[gnu::always_inline]] inline void MedianRowNetworkBody(const std::uint16_t* __restrict centre,
                                                        std::uint16_t* __restrict out, int width, double share) {
  constexpr int kSide = 2 * Radius + 1;
  constexpr int kCount = kSide * kSide;
  const std::ptrdiff_t stride = width;
  int x = Radius;
  for (; x + kVectorPixels <= width - Radius; x += kVectorPixels) {
    PixelVector values[kCount];
    for (int j = 0; j < kSide; ++j) {
      for (int i = 0; i < kSide; ++i) {
        std::memcpy(&values[j * kSide + i], centre + (j - Radius) * stride + x + i - Radius, sizeof(PixelVector));
      }
    }
    SortWithNetwork<kCount>(values);
    for (int lane = 0; lane < kVectorPixels; ++lane) {
      const int pixel = centre[x + lane];
      const int median = values[kCount / 2][lane];
      const int minimum = std::min<int>(values[0][lane], kMinimumStart);
      const int threshold = static_cast<int>((values[kCount - 1][lane] - minimum) * share);
      const int difference = median > pixel ? median - pixel : pixel - median;
      out[x + lane] = static_cast<std::uint16_t>(difference > threshold ? median : pixel);
    }
  }
  for (; x < width - Radius; ++x) {
    int values[kCount];
    for (int j = 0; j < kSide; ++j) {
      for (int i = 0; i < kSide; ++i) values[j * kSide + i] = centre[(j - Radius) * stride + x + i - Radius];
    }
    SortWithNetwork<kCount>(values);
    out[x] = Decide(centre[x], values[kCount / 2], values[kCount - 1], std::min(values[0], kMinimumStart), share);
  }
}
#if QV_AVX2_ROW_LOOPS
template <int Radius>
[[gnu::target("avx2")]] void MedianRowNetworkAvx2(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out,
                                                  int width, double share) {
  MedianRowNetworkBody<Radius>(centre, out, width, share);
}
#endif
template <int Radius>
void MedianRowNetworkPlain(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out, int width,
                           double share) {
  MedianRowNetworkBody<Radius>(centre, out, width, share);
}
template <int Radius>
void MedianRowNetwork([[maybe_unused]] bool avx2, const std::uint16_t* centre, std::uint16_t* out, int width,
                      double share) {
#if QV_AVX2_ROW_LOOPS
  if (avx2) return MedianRowNetworkAvx2<Radius>(centre, out, width, share);
#endif
  MedianRowNetworkPlain<Radius>(centre, out, width, share);
}

}  // namespace

void MedianFilter(ProgramState& state, Host& host, int radius, int powerTenths, bool rebuild) {
  if (radius < 1 || radius > kMedianMaxRadius) return;
  RunProcessingPass(state, host, {.progressCaption = "MEDIAN FILTER PROGRESS", .rebuild = rebuild}, [&] {
    ImageStore& images = state.images;
    const double share = powerTenths * 0.1;
    const int width = state.geometry.width;
    const bool avx2 = UseAvx2RowLoops(state.processing.rowLoops);
    FilterRows(state, host, FirstFilteredRow(images.workImage, radius), state.geometry.height - radius, radius,
               width - radius, radius + 1, [&](int y) {
                 const std::size_t row = static_cast<std::size_t>(y) * width;
                 const std::uint16_t* centre = images.workImage + row;
                 std::uint16_t* out = images.scratchImage + row;
                 if (radius == 1) MedianRow3(avx2, centre, out, width, share);
                 if (radius == 2) MedianRowNetwork<2>(avx2, centre, out, width, share);
                 if (radius == 3) MedianRowNetwork<3>(avx2, centre, out, width, share);
               });
  });
  char power[32];
  std::snprintf(power, sizeof power, "%1.1f", powerTenths / 10.0);
  AddHistoryLine(state.images.history, "Median Filter : rad " + std::to_string(radius) + " ,power " + power);
}

}  // namespace qv
