#include "colour/anti_alias.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "app/messages.h"
#include "colour/colour_checks.h"
#include "processing/processing_pass.h"
#include "processing/row_loop_builds.h"

namespace qv {

namespace {

constexpr int kSide = 7;
constexpr std::array<int, kSide* kSide> kWeights = {
    0, 1, 2, 3,  2, 1, 0,  //
    1, 2, 3, 4,  3, 2, 1,  //
    2, 3, 6, 9,  6, 3, 2,  //
    3, 4, 9, 12, 9, 4, 3,  //
    2, 3, 6, 9,  6, 3, 2,  //
    1, 2, 3, 4,  3, 2, 1,  //
    0, 1, 2, 3,  2, 1, 0,
};
static_assert([] {
  int sum = 0;
  for (int w : kWeights) sum += w;
  return sum;
}() == kAntiAliasWeightSum);

// The median of 25 values by a sorting network: Batcher's odd-even merge
// sort of 32 wires, the 25 values padded with four zeros below and three
// whites above, so the median lands on wire 16. Only the exchanges that can
// reach wire 16 are kept. The network has no branches, so the column loop
// vectorises.
constexpr int kWires = 32;
constexpr int kMedianWire = 16;
struct Exchange {
  std::uint8_t low, high;
};
struct Network {
  std::array<Exchange, 200> exchanges{};
  int count = 0;
};
constexpr Network BuildMedianNetwork() {
  Network all;
  for (int p = 1; p < kWires; p += p) {
    for (int k = p; k > 0; k /= 2) {
      for (int j = k % p; j + k < kWires; j += 2 * k) {
        for (int i = 0; i < std::min(k, kWires - j - k); ++i) {
          if ((i + j) / (2 * p) == (i + j + k) / (2 * p)) {
            all.exchanges[all.count++] = {static_cast<std::uint8_t>(i + j), static_cast<std::uint8_t>(i + j + k)};
          }
        }
      }
    }
  }
  std::array<bool, kWires> needed{};
  needed[kMedianWire] = true;
  std::array<bool, 200> keep{};
  for (int e = all.count - 1; e >= 0; --e) {
    const Exchange x = all.exchanges[e];
    if (needed[x.low] || needed[x.high]) {
      keep[e] = true;
      needed[x.low] = needed[x.high] = true;
    }
  }
  Network pruned;
  for (int e = 0; e < all.count; ++e) {
    if (keep[e]) pruned.exchanges[pruned.count++] = all.exchanges[e];
  }
  return pruned;
}
constexpr Network kMedianNetwork = BuildMedianNetwork();

[[gnu::always_inline]] inline std::uint16_t Median25(const std::uint16_t* const* rows, int x) {
  std::uint16_t v[kWires];
  v[0] = v[1] = v[2] = v[3] = 0;
#pragma GCC unroll 5
  for (int j = 0; j < 5; ++j) {
#pragma GCC unroll 5
    for (int i = 0; i < 5; ++i) v[4 + j * 5 + i] = rows[j][x + i - 2];
  }
  v[29] = v[30] = v[31] = 65'535;
#pragma GCC unroll 200
  for (int e = 0; e < kMedianNetwork.count; ++e) {
    const Exchange x2 = kMedianNetwork.exchanges[e];
    const std::uint16_t a = v[x2.low], b = v[x2.high];
    v[x2.low] = std::min(a, b);
    v[x2.high] = std::max(a, b);
  }
  return v[kMedianWire];
}

// Sixteen medians side by side: the same network on vectors of sixteen
// columns, unrolled at compile time so the wires live in registers and the
// exchanges with the constant pads fold away.
using Lanes = std::uint16_t __attribute__((vector_size(32)));
constexpr int kLanes = 16;

template <int Low, int High>
[[gnu::always_inline]] inline void ExchangeLanes(Lanes* v) {
  const Lanes a = v[Low], b = v[High];
  v[Low] = a < b ? a : b;
  v[High] = a < b ? b : a;
}
template <std::size_t... E>
[[gnu::always_inline]] inline void RunMedianNetwork(Lanes* v, std::index_sequence<E...>) {
  (ExchangeLanes<kMedianNetwork.exchanges[E].low, kMedianNetwork.exchanges[E].high>(v), ...);
}

[[gnu::always_inline]] inline void Median25Lanes(const std::uint16_t* const* rows, int x, std::uint16_t* out) {
  Lanes v[kWires];
  for (int k = 0; k < 4; ++k) v[k] = Lanes{};
  for (int k = 29; k < kWires; ++k) v[k] = Lanes{} - 1;
#pragma GCC unroll 5
  for (int j = 0; j < 5; ++j) {
#pragma GCC unroll 5
    for (int i = 0; i < 5; ++i) std::memcpy(&v[4 + j * 5 + i], rows[j] + x + i - 2, sizeof(Lanes));
  }
  RunMedianNetwork(v, std::make_index_sequence<static_cast<std::size_t>(kMedianNetwork.count)>());
  std::memcpy(out + x, &v[kMedianWire], sizeof(Lanes));
}

// The weighted 7 x 7 sum is symmetric in both directions: per column the
// rows at equal distance are added first and weighted once for each column
// distance (q[0] for columns 3 away, q[1] 2 away, q[2] 1 away, q[3] the
// centre column), so a pixel costs a handful of additions instead of 45
// multiply-adds. `q` holds four rows of `width` sums.
[[gnu::always_inline]] inline void DetailRow(const std::uint16_t* __restrict centre, std::uint16_t* __restrict detail,
                                             int width, std::uint32_t* __restrict q0, std::uint32_t* __restrict q1,
                                             std::uint32_t* __restrict q2, std::uint32_t* __restrict q3) {
  const std::ptrdiff_t w = width;
  for (int c = 0; c < width; ++c) {
    const std::uint32_t a = static_cast<std::uint32_t>(centre[c - 3 * w]) + centre[c + 3 * w];
    const std::uint32_t b = static_cast<std::uint32_t>(centre[c - 2 * w]) + centre[c + 2 * w];
    const std::uint32_t d = static_cast<std::uint32_t>(centre[c - w]) + centre[c + w];
    const std::uint32_t e = centre[c];
    q0[c] = b + 2 * d + 3 * e;
    q1[c] = a + 2 * b + 3 * d + 4 * e;
    q2[c] = 2 * a + 3 * b + 6 * d + 9 * e;
    q3[c] = 3 * a + 4 * b + 9 * d + 12 * e;
  }
  for (int x = kAntiAliasBorder; x < width - kAntiAliasBorder; ++x) {
    const std::uint32_t sum = q0[x - 3] + q0[x + 3] + q1[x - 2] + q1[x + 2] + q2[x - 1] + q2[x + 1] + q3[x];
    // The weights sum to 156, so the mean never passes 65535.
    const std::uint32_t low = sum / kAntiAliasWeightSum;
    const std::uint32_t value = centre[x];
    const std::uint32_t above = value - low;
    detail[x] = static_cast<std::uint16_t>(low < value ? above : 0u);
  }
}

// Detail and median of one row of one plane, columns 3 to width - 4.
[[gnu::always_inline]] inline void RowBody(const std::uint16_t* __restrict centre, std::uint16_t* __restrict detail,
                                           std::uint16_t* __restrict median, int width, std::uint32_t* sums) {
  const std::size_t w = static_cast<std::size_t>(width);
  DetailRow(centre, detail, width, sums, sums + w, sums + 2 * w, sums + 3 * w);
  const std::uint16_t* rows[5];
  for (int j = 0; j < 5; ++j) rows[j] = centre + static_cast<std::ptrdiff_t>(j - 2) * width;
  int x = kAntiAliasBorder;
  for (; x + kLanes <= width - kAntiAliasBorder; x += kLanes) Median25Lanes(rows, x, median);
  for (; x < width - kAntiAliasBorder; ++x) median[x] = Median25(rows, x);
}

// The mix of one row: each plane becomes its median plus the low eight bits
// of the mean detail, white where that reaches 65535.
[[gnu::always_inline]] inline void CombineBody(std::uint16_t* __restrict red, std::uint16_t* __restrict blue,
                                               std::uint16_t* __restrict green, const std::uint16_t* __restrict mr,
                                               const std::uint16_t* __restrict mb, const std::uint16_t* __restrict mg,
                                               const std::uint16_t* __restrict dr, const std::uint16_t* __restrict db,
                                               const std::uint16_t* __restrict dg, int width) {
  for (int x = kAntiAliasBorder; x < width - kAntiAliasBorder; ++x) {
    const std::uint32_t d = ((static_cast<std::uint32_t>(dr[x]) + db[x] + dg[x]) / 3) & 0xFFu;
    red[x] = static_cast<std::uint16_t>(std::min(mr[x] + d, 65'535u));
    blue[x] = static_cast<std::uint16_t>(std::min(mb[x] + d, 65'535u));
    green[x] = static_cast<std::uint16_t>(std::min(mg[x] + d, 65'535u));
  }
}

// The planes, medians and details of a row never overlap; saying so in the
// parameters lets the column loop vectorise.
void CombinePlain(std::uint16_t* __restrict red, std::uint16_t* __restrict blue, std::uint16_t* __restrict green,
                  const std::uint16_t* __restrict mr, const std::uint16_t* __restrict mb,
                  const std::uint16_t* __restrict mg, const std::uint16_t* __restrict dr,
                  const std::uint16_t* __restrict db, const std::uint16_t* __restrict dg, int width) {
  CombineBody(red, blue, green, mr, mb, mg, dr, db, dg, width);
}
#if QV_AVX2_ROW_LOOPS
[[gnu::target("avx2")]] void CombineAvx2(std::uint16_t* __restrict red, std::uint16_t* __restrict blue,
                                         std::uint16_t* __restrict green, const std::uint16_t* __restrict mr,
                                         const std::uint16_t* __restrict mb, const std::uint16_t* __restrict mg,
                                         const std::uint16_t* __restrict dr, const std::uint16_t* __restrict db,
                                         const std::uint16_t* __restrict dg, int width) {
  CombineBody(red, blue, green, mr, mb, mg, dr, db, dg, width);
}
#endif

void RowPlain(const std::uint16_t* centre, std::uint16_t* detail, std::uint16_t* median, int width,
              std::uint32_t* sums) {
  RowBody(centre, detail, median, width, sums);
}
#if QV_AVX2_ROW_LOOPS
[[gnu::target("avx2")]] void RowAvx2(const std::uint16_t* centre, std::uint16_t* detail, std::uint16_t* median,
                                     int width, std::uint32_t* sums) {
  RowBody(centre, detail, median, width, sums);
}
#endif

}  // namespace

std::uint16_t MedianOf25(const std::uint16_t* values) {
  const std::uint16_t* rows[5];
  for (int j = 0; j < 5; ++j) rows[j] = values + j * 5 + 2;
  return Median25(rows, 0);
}

bool AntiAliasFilter(ProgramState& state, Host& host, bool redisplay) {
  if (!ColourFilterAllowed(state, host)) return false;
  const FrameGeometry& g = state.geometry;
  ImageStore& images = state.images;
  const bool avx2 = UseAvx2RowLoops(state.processing.rowLoops);
  auto* row = avx2 ? nullptr : RowPlain;
  auto* combine = avx2 ? nullptr : CombinePlain;
#if QV_AVX2_ROW_LOOPS
  if (avx2) {
    row = RowAvx2;
    combine = CombineAvx2;
  }
#endif
  const PassSetup setup{.progressCaption = "ANTI-ALIAS PROGRESS", .undo = PassUndo::ColourPlanes, .rebuild = redisplay};
  auto work = [&] {
    const int width = g.width;
    // The band is the frame's: the planes never carry its marker.
    const int first = kAntiAliasBorder + FirstProcessedRow(images.workImage);
    const int end = g.height - kAntiAliasBorder;
    const bool smallFrame = g.binned || (g.sensorWidth > 0 && g.width != g.sensorWidth);
    auto at = [&](std::uint16_t* plane, int y) { return plane + static_cast<std::size_t>(y) * width; };
    // Four rows of column sums, kept from run to run: the buffer grows only
    // when a wider frame comes.
    static std::vector<std::uint32_t> sums;
    if (sums.size() < 4 * static_cast<std::size_t>(std::max(width, 0)))
      sums.resize(4 * static_cast<std::size_t>(width));
    // Each row is mixed back into the planes three rows later, once no
    // later row's neighbourhood reads it.
    auto mix = [&](int y) {
      std::uint16_t* planes[3];
      const std::uint16_t* medians[3];
      const std::uint16_t* details[3];
      for (int p = 0; p < ImageStore::kPlanes; ++p) {
        planes[p] = at(images.colourPlanes[p], y);
        medians[p] = at(images.planeWorkSet[p], y);
        details[p] = at(images.buffers.detail[p].data(), y);
      }
      combine(planes[0], planes[1], planes[2], medians[0], medians[1], medians[2], details[0], details[1], details[2],
              width);
    };
    for (int y = first; y < end; ++y) {
      host.setProgress(std::min(smallFrame ? y / 4 : y / 8, Host::kProgressRange));
      for (int p = 0; p < ImageStore::kPlanes; ++p) {
        row(at(images.colourPlanes[p], y), at(images.buffers.detail[p].data(), y), at(images.planeWorkSet[p], y), width,
            sums.data());
      }
      if (y - kAntiAliasBorder >= first) mix(y - kAntiAliasBorder);
    }
    for (int y = std::max(first, end - kAntiAliasBorder); y < end; ++y) mix(y);
  };
  if (redisplay) {
    RunProcessingPass(state, host, setup, work);
  } else {
    ResetBufferPointers(images);
    SaveColourUndo(images, g);
    host.openProgress(setup.progressCaption);
    work();
    host.closeProgress();
  }
  return true;
}

}  // namespace qv
