#include "processing/unsharp_mask.h"

#include <string>
#include <utility>
#include <vector>

#include "processing/filter_support.h"
#include "processing/processing_pass.h"
#include "processing/row_loop_builds.h"

namespace qv {

namespace {

// Sums of each column over the rows of the box; moved down one row at a
// time by adding the row that enters and subtracting the one that leaves.
[[gnu::always_inline]] inline void AddRowBody(std::int32_t* __restrict sums, const std::uint16_t* __restrict row,
                                              int width, int sign) {
  for (int x = 0; x < width; ++x) sums[x] += sign * row[x];
}
#if QV_AVX2_ROW_LOOPS
[[gnu::target("avx2")]] void AddRowAvx2(std::int32_t* __restrict sums, const std::uint16_t* __restrict row, int width,
                                        int sign) {
  AddRowBody(sums, row, width, sign);
}
#endif
void AddRowPlain(std::int32_t* __restrict sums, const std::uint16_t* __restrict row, int width, int sign) {
  AddRowBody(sums, row, width, sign);
}
void AddRow([[maybe_unused]] bool avx2, std::int32_t* sums, const std::uint16_t* row, int width, int sign) {
#if QV_AVX2_ROW_LOOPS
  if (avx2) return AddRowAvx2(sums, row, width, sign);
#endif
  AddRowPlain(sums, row, width, sign);
}

// One output row, the radius known at compile time: each box sum adds the
// 2r + 1 column sums it covers straight from the row of column sums, so the
// compiler forms several neighbouring boxes side by side; then the pixels are
// pushed away from their box mean.
template <int Radius>
[[gnu::always_inline]] inline void UnsharpRowBody(const std::int32_t* __restrict columnSums,
                                                  const std::uint16_t* __restrict in, std::uint16_t* __restrict out,
                                                  int width, int power) {
  const int last = width - Radius - 2;
  const std::uint64_t magic = UnsharpMeanMagic(Radius);
  for (int x = Radius; x <= last; ++x) {
    std::int32_t box = 0;
#pragma GCC unroll 15
    for (int i = -Radius; i <= Radius; ++i) box += columnSums[x + i];
    const int mean = UnsharpBoxMean(box, magic);
    const int pixel = in[x];
    out[x] = ClampFilterResult(pixel + (pixel - mean) * power);
  }
}
#if QV_AVX2_ROW_LOOPS
template <int Radius>
[[gnu::target("avx2")]] void UnsharpRowAvx2(const std::int32_t* columnSums, const std::uint16_t* __restrict in,
                                            std::uint16_t* __restrict out, int width, int power) {
  UnsharpRowBody<Radius>(columnSums, in, out, width, power);
}
#endif
template <int Radius>
void UnsharpRowPlain(const std::int32_t* columnSums, const std::uint16_t* __restrict in, std::uint16_t* __restrict out,
                     int width, int power) {
  UnsharpRowBody<Radius>(columnSums, in, out, width, power);
}

using UnsharpRowFunction = void (*)(const std::int32_t*, const std::uint16_t*, std::uint16_t*, int, int);

template <int... Radius>
UnsharpRowFunction UnsharpRowFor(int radius, [[maybe_unused]] bool avx2, std::integer_sequence<int, Radius...>) {
  UnsharpRowFunction chosen = nullptr;
#if QV_AVX2_ROW_LOOPS
  ((chosen = radius == Radius ? (avx2 ? UnsharpRowAvx2<Radius> : UnsharpRowPlain<Radius>) : chosen), ...);
#else
  ((chosen = radius == Radius ? UnsharpRowPlain<Radius> : chosen), ...);
#endif
  return chosen;
}

// The row function for a radius from 1 to the maximum.
UnsharpRowFunction UnsharpRowFor(int radius, bool avx2) {
  return UnsharpRowFor(radius, avx2, std::integer_sequence<int, 1, 2, 3, 4, 5, 6, 7>{});
}
static_assert(kUnsharpMaximum == 7);

}  // namespace

void UnsharpMask(ProgramState& state, Host& host, int radius, int power, bool rebuild) {
  // Outside these ranges the box sums and results would overflow.
  if (radius < kUnsharpMinimum || radius > kUnsharpMaximum || power < kUnsharpMinimum || power > kUnsharpMaximum) {
    return;
  }
  RunProcessingPass(state, host, {.progressCaption = "UNSHARP MASK PROGRESS", .rebuild = rebuild}, [&] {
    const int width = state.geometry.width;
    const std::uint16_t* work = state.images.workImage;
    const int first = FirstFilteredRow(work, radius);
    const int end = state.geometry.height - radius;
    if (width < 2 * radius + 2 || first >= end) return;
    const bool avx2 = UseAvx2RowLoops(state.processing.rowLoops);
    std::vector<std::int32_t> columnSums(width, 0);
    const UnsharpRowFunction unsharpRow = UnsharpRowFor(radius, avx2);
    const auto row = [&](int y) { return work + static_cast<std::size_t>(y) * width; };
    for (int y = first - radius; y <= first + radius; ++y) AddRow(avx2, columnSums.data(), row(y), width, 1);
    // A row goes back once the column sums have dropped it.
    FilterRows(state, host, first, end, radius, width - radius - 1, radius + 1, [&](int y) {
      if (y > first) {
        AddRow(avx2, columnSums.data(), row(y + radius), width, 1);
        AddRow(avx2, columnSums.data(), row(y - radius - 1), width, -1);
      }
      unsharpRow(columnSums.data(), row(y), state.images.scratchImage + static_cast<std::size_t>(y) * width, width,
                 power);
    });
  });
  AddHistoryLine(state.images.history,
                 "Unsharp Mask : rad " + std::to_string(radius) + " ,power " + std::to_string(power));
}

}  // namespace qv
