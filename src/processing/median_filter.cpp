#include "processing/median_filter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "processing/filter_support.h"
#include "processing/median_network.h"
#include "processing/processing_pass.h"
#include "processing/row_loop_builds.h"

namespace qv {

namespace {

// The window minimum is tracked from this value, so it is never above it.
constexpr int kMinimumStart = 65'000;

// Each row goes through three passes, each sixteen pixels at a time on
// vectors: every column of the window height is sorted; every two
// neighbouring sorted columns are merged (not at radius 1); then each window
// merges the pairs and the last column it covers (at radius 1 its three
// columns), keeping only the middle value and the two ends. Sorted columns
// and pairs are shared by the windows that overlap. The median is the middle
// one of the window's values in order, which extracting the upper half one
// maximum at a time also yields.
//
// The networks order values with the sign bit flipped, as signed 16-bit
// numbers: their order is the pixels' order, and signed minimum and maximum
// are single instructions in the plain build too. Pixels are flipped as the
// columns are sorted and flipped back for the decision.
using PixelVector [[gnu::vector_size(32)]] = std::int16_t;
constexpr int kVectorPixels = 16;

// Rows are filtered in strips of this many pixels so that the sorted columns
// and pairs of a strip stay in the first-level cache.
constexpr int kStripPixels = 512;

// By reference: vector values are not passed or returned by value, which
// would depend on the instruction set of the caller.
template <typename Value>
[[gnu::always_inline]] inline void LoadPixels(Value& v, const std::uint16_t* from) {
  std::memcpy(&v, from, sizeof v);
}
template <typename Value>
[[gnu::always_inline]] inline void StorePixels(std::uint16_t* to, const Value& v) {
  std::memcpy(to, &v, sizeof v);
}
template <typename Value>
[[gnu::always_inline]] inline void FlipSign(Value& v) {
  v = static_cast<Value>(v ^ static_cast<std::int16_t>(-32'768));
}

// The pixel, or the median where the pixel stands out from it by more than
// the power's share of the window's range.
template <typename Value>
[[gnu::always_inline]] inline void StoreDecided(std::uint16_t* to, const Value& pixel, const Value& median,
                                                const Value& maximum, const Value& minimum, int powerTenths) {
  constexpr int kLanes = sizeof(Value) / 2;
  // Through arrays, so that the compiler handles the lanes as a loop; every
  // step fits 16 bits.
  alignas(32) std::uint16_t p[kLanes], m[kLanes], high[kLanes], low[kLanes];
  StorePixels(p, pixel);
  StorePixels(m, median);
  StorePixels(high, maximum);
  StorePixels(low, minimum);
  for (int lane = 0; lane < kLanes; ++lane) {
    const auto difference = static_cast<std::uint16_t>(std::max(m[lane], p[lane]) - std::min(m[lane], p[lane]));
    const auto range = static_cast<std::uint16_t>(high[lane] - std::min<std::uint16_t>(low[lane], kMinimumStart));
    const auto threshold = static_cast<std::uint16_t>(MedianThreshold(range, powerTenths));
    to[lane] = difference > threshold ? m[lane] : p[lane];
  }
}

// Calls f(k) for k = 0 .. Count - 1 as compile-time constants, so that
// arrays of vectors indexed by k can stay in registers.
template <int Count, typename F>
[[gnu::always_inline]] inline void Unrolled(F&& f) {
  [&]<int... K>(std::integer_sequence<int, K...>) __attribute__((always_inline)) {
    (f(std::integral_constant<int, K>{}), ...);
  }
  (std::make_integer_sequence<int, Count>{});
}

// Calls step.template operator()<Value>(x) for x in [first, end): sixteen at a
// time, the last sixteen overlapping the ones before; single pixels when the
// range is shorter than sixteen.
template <typename Step>
[[gnu::always_inline]] inline void InVectors(int first, int end, Step&& step) {
  if (end - first < kVectorPixels) {
    for (int x = first; x < end; ++x) step.template operator()<std::int16_t>(x);
    return;
  }
  for (int x = first;; x += kVectorPixels) {
    if (x + kVectorPixels >= end) {
      step.template operator()<PixelVector>(end - kVectorPixels);
      return;
    }
    step.template operator()<PixelVector>(x);
  }
}

template <int Radius>
struct MedianNetworks {
  static constexpr int kSide = 2 * Radius + 1;
  static constexpr int kCount = kSide * kSide;
  static constexpr int kStripStride = kStripPixels + 2 * Radius;
  static constexpr auto column = MakeNetwork([](NetworkBuilder& b) { return b.sort(0, kSide); });
  static constexpr auto pair = MakeNetwork([](NetworkBuilder& b) {
    WireRun low, high;
    for (int i = 0; i < kSide; ++i) {
      low.push(i);
      high.push(kSide + i);
    }
    return b.merge(low, high);
  });
  // A pair serves `Radius` windows; at radius 1 only one, so the windows
  // merge their three columns themselves.
  static constexpr bool kPairs = Radius > 1;
  // Wires: Radius sorted pairs of columns, then the last column; or the
  // sorted columns.
  static constexpr auto window = MakeNetwork([](NetworkBuilder& b) {
    constexpr int kRuns = kPairs ? Radius + 1 : kSide;
    WireRun runs[kRuns];
    for (int w = 0; w < kCount; ++w) runs[w / (kPairs ? 2 * kSide : kSide)].push(w);
    return b.mergeAll(runs, kRuns);
  });
};

// Filters output pixels [first, end) of a row. `columns` holds kSide planes
// (rank k of column first - Radius + i at k * kStripStride + i), `pairs`
// 2 * kSide planes, for one strip.
template <int Radius>
[[gnu::always_inline]] inline void MedianStripBody(const std::uint16_t* __restrict centre,
                                                   std::uint16_t* __restrict out, int width, int first, int end,
                                                   int powerTenths, std::uint16_t* __restrict columns,
                                                   std::uint16_t* __restrict pairs) {
  using Net = MedianNetworks<Radius>;
  constexpr int kSide = Net::kSide;
  constexpr int kCount = Net::kCount;
  constexpr std::ptrdiff_t kStride = Net::kStripStride;
  const std::ptrdiff_t rowStride = width;
  const std::uint16_t* __restrict left = centre + first - Radius;
  const int span = end - first + 2 * Radius;
  InVectors(
      0, span, [&]<typename Value>(int i) __attribute__((always_inline)) {
        Value v[kSide];
        Unrolled<kSide>([&](auto j) {
          LoadPixels(v[j], left + (j - Radius) * rowStride + i);
          FlipSign(v[j]);
        });
        ApplyNetwork<Net::column>(v);
        Unrolled<kSide>([&](auto k) { StorePixels(columns + k * kStride + i, v[Net::column.order[k]]); });
      });
  if constexpr (Net::kPairs) {
    InVectors(
        0, span - 1, [&]<typename Value>(int i) __attribute__((always_inline)) {
          Value v[2 * kSide];
          Unrolled<kSide>([&](auto k) {
            LoadPixels(v[k], columns + k * kStride + i);
            LoadPixels(v[kSide + k], columns + k * kStride + i + 1);
          });
          ApplyNetwork<Net::pair>(v);
          Unrolled<2 * kSide>([&](auto k) { StorePixels(pairs + k * kStride + i, v[Net::pair.order[k]]); });
        });
  }
  InVectors(
      Radius, span - Radius, [&]<typename Value>(int i) __attribute__((always_inline)) {
        Value v[kCount];
        if constexpr (Net::kPairs) {
          Unrolled<2 * kSide * Radius>([&](auto w) {
            constexpr int p = w / (2 * kSide), k = w % (2 * kSide);
            LoadPixels(v[w], pairs + k * kStride + i - Radius + 2 * p);
          });
          Unrolled<kSide>([&](auto k) { LoadPixels(v[2 * kSide * Radius + k], columns + k * kStride + i + Radius); });
        } else {
          Unrolled<kCount>([&](auto w) {
            constexpr int c = w / kSide, k = w % kSide;
            LoadPixels(v[w], columns + k * kStride + i - Radius + c);
          });
        }
        ApplyNetwork<Net::window>(v);
        Value pixel, median = v[Net::window.order[kCount / 2]], maximum = v[Net::window.order[kCount - 1]],
                     minimum = v[Net::window.order[0]];
        LoadPixels(pixel, left + i);
        FlipSign(median);
        FlipSign(maximum);
        FlipSign(minimum);
        StoreDecided(out + first - Radius + i, pixel, median, maximum, minimum, powerTenths);
      });
}

template <int Radius>
[[gnu::always_inline]] inline void MedianRowBody(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out,
                                                 int width, int powerTenths, std::uint16_t* columns,
                                                 std::uint16_t* pairs) {
  for (int first = Radius; first < width - Radius; first += kStripPixels) {
    const int end = std::min(first + kStripPixels, width - Radius);
    MedianStripBody<Radius>(centre, out, width, first, end, powerTenths, columns, pairs);
  }
}
#if QV_AVX2_ROW_LOOPS
template <int Radius>
[[gnu::target("avx2")]] void MedianRowAvx2(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out,
                                           int width, int powerTenths, std::uint16_t* columns, std::uint16_t* pairs) {
  MedianRowBody<Radius>(centre, out, width, powerTenths, columns, pairs);
}
#endif
template <int Radius>
void MedianRowPlain(const std::uint16_t* __restrict centre, std::uint16_t* __restrict out, int width, int powerTenths,
                    std::uint16_t* columns, std::uint16_t* pairs) {
  MedianRowBody<Radius>(centre, out, width, powerTenths, columns, pairs);
}

// The row pass of one radius with the planes of a strip.
template <int Radius>
class MedianRows {
 public:
  MedianRows() : columns_(kPlane * MedianNetworks<Radius>::kSide), pairs_(kPlane * 2 * MedianNetworks<Radius>::kSide) {}

  void row([[maybe_unused]] bool avx2, const std::uint16_t* centre, std::uint16_t* out, int width, int powerTenths) {
#if QV_AVX2_ROW_LOOPS
    if (avx2) return MedianRowAvx2<Radius>(centre, out, width, powerTenths, columns_.data(), pairs_.data());
#endif
    MedianRowPlain<Radius>(centre, out, width, powerTenths, columns_.data(), pairs_.data());
  }

 private:
  static constexpr std::size_t kPlane = MedianNetworks<Radius>::kStripStride;
  std::vector<std::uint16_t> columns_, pairs_;
};

template <int Radius>
void MedianFilterRows(ProgramState& state, Host& host, int powerTenths) {
  ImageStore& images = state.images;
  const int width = state.geometry.width;
  const bool avx2 = UseAvx2RowLoops(state.processing.rowLoops);
  MedianRows<Radius> rows;
  FilterRows(state, host, FirstFilteredRow(images.workImage, Radius), state.geometry.height - Radius, Radius,
             width - Radius, Radius + 1, [&](int y) {
               const std::size_t row = static_cast<std::size_t>(y) * width;
               rows.row(avx2, images.workImage + row, images.scratchImage + row, width, powerTenths);
             });
}

}  // namespace

void MedianFilter(ProgramState& state, Host& host, int radius, int powerTenths, bool rebuild) {
  if (radius < 1 || radius > kMedianMaxRadius) return;
  RunProcessingPass(state, host, {.progressCaption = "MEDIAN FILTER PROGRESS", .rebuild = rebuild}, [&] {
    if (radius == 1) MedianFilterRows<1>(state, host, powerTenths);
    if (radius == 2) MedianFilterRows<2>(state, host, powerTenths);
    if (radius == 3) MedianFilterRows<3>(state, host, powerTenths);
  });
  char power[32];
  std::snprintf(power, sizeof power, "%1.1f", powerTenths / 10.0);
  AddHistoryLine(state.images.history, "Median Filter : rad " + std::to_string(radius) + " ,power " + power);
}

}  // namespace qv
