#include "processing/gradient_filter.h"

#include <algorithm>
#include <vector>

#include "processing/processing_pass.h"
#include "processing/row_loop_builds.h"

namespace qv {

namespace {

constexpr int kBins = 4096;

// The fullest bin of the patch's value / 16 histogram, searched from
// `firstBin` (the first fullest bin wins; `firstBin` when all are empty).
int PatchLevel(const std::uint16_t* image, int width, int height, GradientPatch patch, int firstBin,
               std::vector<int>& counts) {
  std::fill(counts.begin(), counts.end(), 0);
  const int bottom = std::min(patch.top + kGradientPatchSize, height);
  const int right = std::min(patch.left + kGradientPatchSize, width);
  for (int y = patch.top; y < bottom; ++y) {
    for (int x = patch.left; x < right; ++x) {
      const int bin = image[static_cast<std::size_t>(y) * width + x] / 16;
      if (bin < kBins) ++counts[bin];
    }
  }
  int level = firstBin;
  int best = counts[firstBin];
  for (int bin = firstBin; bin < kBins; ++bin) {
    if (counts[bin] > best) {
      best = counts[bin];
      level = bin;
    }
  }
  return level;
}

// The background under pixel x of row y, as the filter defines it: four
// double divisions; `levels` are P, Q, R and S.
inline double Background(int x, int y, double w, double h, double n, const std::array<int, 4>& levels) {
  const int p = levels[0], q = levels[1], r = levels[2], s = levels[3];
  return (w - x) * (h - y) / n * p + x * (h - y) / n * q + y * (w - x) / n * r + x * y / n * s;
}

// Within a row the background is a straight line in x, and a pixel's result
// depends only on the background rounded down: a pixel above g loses
// floor(g), any other becomes 0 (g is never negative). The line is evaluated
// without divisions; its distance from the defined background is below
// 1e-9, so where the line is not within kMargin of a whole number it has
// the same floor. The few pixels where it is get the background as defined.
constexpr double kMargin = 1e-6;

// First pass of a row: the floor of the background where the line decides
// it, -1 where the defined background must be evaluated. Returns how many
// pixels need it.
[[gnu::always_inline]] inline int BackgroundFloorsBody(std::int32_t* __restrict floors, int width, double start,
                                                       double slope) {
  int undecided = 0;
  for (int x = 0; x < width; ++x) {
    const double g = start + slope * x;
    const auto low = static_cast<std::int32_t>(g - kMargin);
    const auto high = static_cast<std::int32_t>(g + kMargin);
    floors[x] = low == high ? low : -1;
    undecided += low == high ? 0 : 1;
  }
  return undecided;
}
[[gnu::always_inline]] inline void SubtractFloorsBody(std::uint16_t* __restrict row,
                                                      const std::int32_t* __restrict floors, int width) {
  for (int x = 0; x < width; ++x) {
    const int pixel = row[x];
    row[x] = static_cast<std::uint16_t>(pixel > floors[x] ? pixel - floors[x] : 0);
  }
}

// One row less its background.
[[gnu::always_inline]] inline void SubtractBackgroundRowBody(std::uint16_t* row, std::int32_t* floors, int width, int y,
                                                             double w, double h, double n,
                                                             const std::array<int, 4>& levels) {
  const double p = levels[0], q = levels[1], r = levels[2], s = levels[3];
  // g(x) = ((w (h - y) p + y w r) + x ((h - y) (q - p) + y (s - r))) / n
  const double start = (w * (h - y) * p + y * w * r) / n;
  const double slope = ((h - y) * (q - p) + y * (s - r)) / n;
  if (BackgroundFloorsBody(floors, width, start, slope) > 0) {
    for (int x = 0; x < width; ++x) {
      if (floors[x] < 0) floors[x] = static_cast<std::int32_t>(Background(x, y, w, h, n, levels));
    }
  }
  SubtractFloorsBody(row, floors, width);
}
#if QV_AVX2_ROW_LOOPS
[[gnu::target("avx2")]] void SubtractBackgroundRowAvx2(std::uint16_t* row, std::int32_t* floors, int width, int y,
                                                       double w, double h, double n, const std::array<int, 4>& levels) {
  SubtractBackgroundRowBody(row, floors, width, y, w, h, n, levels);
}
#endif
void SubtractBackgroundRowPlain(std::uint16_t* row, std::int32_t* floors, int width, int y, double w, double h,
                                double n, const std::array<int, 4>& levels) {
  SubtractBackgroundRowBody(row, floors, width, y, w, h, n, levels);
}
void SubtractBackgroundRow([[maybe_unused]] bool avx2, std::uint16_t* row, std::int32_t* floors, int width, int y,
                           double w, double h, double n, const std::array<int, 4>& levels) {
#if QV_AVX2_ROW_LOOPS
  if (avx2) return SubtractBackgroundRowAvx2(row, floors, width, y, w, h, n, levels);
#endif
  SubtractBackgroundRowPlain(row, floors, width, y, w, h, n, levels);
}

}  // namespace

std::array<GradientPatch, 4> GradientPatches(int width, int height) {
  const auto place = [](int wanted, int extent) { return std::max(0, std::min(wanted, extent - kGradientPatchSize)); };
  const int top = place(10, height), bottom = place(450, height);
  const int left = place(20, width), right = place(600, width);
  return {{{top, left}, {top, right}, {bottom, left}, {bottom, right}}};
}

std::array<int, 4> GradientCornerLevels(const std::uint16_t* image, int width, int height) {
  std::vector<int> counts(kBins);
  const auto patches = GradientPatches(width, height);
  std::array<int, 4> levels{};
  for (int k = 0; k < 4; ++k) levels[k] = PatchLevel(image, width, height, patches[k], k < 2 ? 0 : 1, counts);
  const int lowest = *std::min_element(levels.begin(), levels.end());
  for (int& level : levels) level = (level - lowest) * 16;
  return levels;
}

void GradientFilter(ProgramState& state, Host& host) {
  RunProcessingPass(state, host, {}, [&] {
    const FrameGeometry& geometry = state.geometry;
    std::uint16_t* image = state.images.workImage;
    const int width = geometry.width;
    const int height = geometry.height;
    if (width <= 0 || height <= 0) return;
    const bool avx2 = UseAvx2RowLoops(state.processing.rowLoops);
    const std::array<int, 4> levels = GradientCornerLevels(image, width, height);
    std::vector<std::int32_t> floors(static_cast<std::size_t>(width));
    for (int y = FirstProcessedRow(image); y < height; ++y) {
      SubtractBackgroundRow(avx2, image + static_cast<std::size_t>(y) * width, floors.data(), width, y, geometry.widthF,
                            geometry.heightF, geometry.pixelCount, levels);
    }
  });
  AddHistoryLine(state.images.history, "Gradient Filter");
}

}  // namespace qv
