#include "processing/unsharp_mask.h"

#include <string>
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

// One output row: box sums slide along the column sums, then the pixels are
// pushed away from their box mean.
[[gnu::always_inline]] inline void UnsharpRowBody(const std::int32_t* columnSums, std::int32_t* __restrict boxSums,
                                                  const std::uint16_t* __restrict in, std::uint16_t* __restrict out,
                                                  int width, int radius, int power) {
  const int last = width - radius - 2;
  std::int32_t box = 0;
  for (int x = 0; x <= 2 * radius; ++x) box += columnSums[x];
  for (int x = radius; x <= last; ++x) {
    boxSums[x] = box;
    box += columnSums[x + radius + 1] - columnSums[x - radius];
  }
  const double count = (2 * radius + 1) * (2 * radius + 1);
  for (int x = radius; x <= last; ++x) {
    const int mean = static_cast<int>(boxSums[x] / count);
    const int pixel = in[x];
    out[x] = ClampFilterResult(pixel + (pixel - mean) * power);
  }
}
#if QV_AVX2_ROW_LOOPS
[[gnu::target("avx2")]] void UnsharpRowAvx2(const std::int32_t* columnSums, std::int32_t* __restrict boxSums,
                                            const std::uint16_t* __restrict in, std::uint16_t* __restrict out,
                                            int width, int radius, int power) {
  UnsharpRowBody(columnSums, boxSums, in, out, width, radius, power);
}
#endif
void UnsharpRowPlain(const std::int32_t* columnSums, std::int32_t* __restrict boxSums,
                     const std::uint16_t* __restrict in, std::uint16_t* __restrict out, int width, int radius,
                     int power) {
  UnsharpRowBody(columnSums, boxSums, in, out, width, radius, power);
}
void UnsharpRow([[maybe_unused]] bool avx2, const std::int32_t* columnSums, std::int32_t* boxSums,
                const std::uint16_t* in, std::uint16_t* out, int width, int radius, int power) {
#if QV_AVX2_ROW_LOOPS
  if (avx2) return UnsharpRowAvx2(columnSums, boxSums, in, out, width, radius, power);
#endif
  UnsharpRowPlain(columnSums, boxSums, in, out, width, radius, power);
}

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
    std::vector<std::int32_t> columnSums(width, 0), boxSums(width, 0);
    const auto row = [&](int y) { return work + static_cast<std::size_t>(y) * width; };
    for (int y = first - radius; y <= first + radius; ++y) AddRow(avx2, columnSums.data(), row(y), width, 1);
    // A row goes back once the column sums have dropped it.
    FilterRows(state, host, first, end, radius, width - radius - 1, radius + 1, [&](int y) {
      if (y > first) {
        AddRow(avx2, columnSums.data(), row(y + radius), width, 1);
        AddRow(avx2, columnSums.data(), row(y - radius - 1), width, -1);
      }
      UnsharpRow(avx2, columnSums.data(), boxSums.data(), row(y),
                 state.images.scratchImage + static_cast<std::size_t>(y) * width, width, radius, power);
    });
  });
  AddHistoryLine(state.images.history,
                 "Unsharp Mask : rad " + std::to_string(radius) + " ,power " + std::to_string(power));
}

}  // namespace qv
