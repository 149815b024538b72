#include "guiding/series_alignment.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

#include "guiding/find_centre.h"

namespace qv {

namespace {

constexpr int kCentreRuns = 3;  // each run starts from the last, so the box settles on the star

std::uint16_t Clamped(std::int64_t v) { return static_cast<std::uint16_t>(std::min<std::int64_t>(v, 65535)); }

// Copies the work image into the scratch image, divided for an averaged series.
void StartSum(ProgramState& state, int divisor) {
  const std::size_t n = static_cast<std::size_t>(state.geometry.pixelCount);
  for (std::size_t i = 0; i < n; ++i) state.images.scratchImage[i] = state.images.workImage[i] / divisor;
}

void RestoreSum(ProgramState& state) {
  std::copy_n(state.images.scratchImage, state.geometry.pixelCount, state.images.workImage);
}

bool Inside(int col, int row, int width, int height) { return col > 0 && row > 0 && col < width && row < height; }

std::optional<StarPosition> CentreFrom(ProgramState& state, Host& host, StarPosition start) {
  std::optional<StarPosition> found;
  for (int i = 0; i < kCentreRuns; ++i) {
    found = FindCentre(state, host, start.x, start.y, CentreSource::MainCamera);
    if (!found) return std::nullopt;
    start = *found;
  }
  return found;
}

// Profile window: columns 200 to 299, rows base + 100 to base + 199.
constexpr int kWindowLeft = 200, kWindowTop = 100, kWindowSize = 100, kProfileShift = 10;
constexpr int kLastWindowBase = 229, kWindowBaseStep = 10;
// A star in the window's middle (these columns, and rows 20 to 80 of the
// window) is passed over for one nearer its edge.
constexpr int kMiddleLeft = 220, kMiddleRight = 280, kMiddleTop = 20, kMiddleBottom = 80;

struct WindowPeak {
  int value = -1, column = 0, row = 0;
};

// The window's brightest pixel (the first of equals, row by row).
WindowPeak BrightestInWindow(const ProgramState& state, int base) {
  WindowPeak peak;
  const int width = state.geometry.width;
  for (int r = base + kWindowTop; r < base + kWindowTop + kWindowSize; ++r) {
    const std::uint16_t* line = state.images.workImage + static_cast<std::size_t>(r) * width;
    for (int c = kWindowLeft; c < kWindowLeft + kWindowSize; ++c) {
      if (line[c] > peak.value) peak = {line[c], c, r};
    }
  }
  return peak;
}

// Where the window goes: from the top, 10 rows down at a time, until its
// brightest pixel stands well above the background (`m` is the fullest bin
// of value / 256) outside the window's middle. A peak of 400 x m seen in
// any window tried stops the search one step further down. Nothing when the
// window runs past its last start (or off the frame).
std::optional<int> FindWindowBase(const ProgramState& state, int m) {
  const int lastBase = std::min(kLastWindowBase, state.geometry.height - kWindowTop - kWindowSize);
  const int bright = 256 * m + 2560;
  int brightest = 0;
  int base = 0;
  for (;;) {
    const WindowPeak peak = BrightestInWindow(state, base);
    brightest = std::max(brightest, peak.value);
    const bool middle = peak.column >= kMiddleLeft && peak.column <= kMiddleRight &&
                        peak.row >= base + kWindowTop + kMiddleTop && peak.row <= base + kWindowTop + kMiddleBottom;
    if (peak.value >= bright && !middle) return base;
    base += kWindowBaseStep;
    if (base > lastBase) return std::nullopt;
    if (brightest >= 400 * m) return base;
  }
}

int FullestCoarseBin(const ProgramState& state) {
  std::array<std::uint32_t, 256> bins{};
  const std::uint16_t* p = state.images.workImage;
  for (int i = 0; i < state.geometry.pixelCount; ++i) ++bins[p[i] / 256];
  return static_cast<int>(std::max_element(bins.begin(), bins.end()) - bins.begin());
}

void Profiles(const ProgramState& state, int base, int level, std::int64_t* rows, std::int64_t* columns) {
  std::fill_n(rows, kWindowSize, 0);
  std::fill_n(columns, kWindowSize, 0);
  const int width = state.geometry.width;
  for (int r = 0; r < kWindowSize; ++r) {
    const std::uint16_t* line = state.images.workImage + static_cast<std::size_t>(base + kWindowTop + r) * width;
    for (int c = 0; c < kWindowSize; ++c) {
      const std::int64_t term = (static_cast<std::int64_t>(line[kWindowLeft + c]) - level) * 16;
      if (term <= 15) continue;
      rows[r] += term;
      columns[c] += term;
    }
  }
}

// Sums of absolute differences for the shifts -10 to +10 over elements 10 to 89.
std::array<std::int64_t, 2 * kProfileShift + 1> ShiftSums(const std::int64_t* reference, const std::int64_t* now) {
  std::array<std::int64_t, 2 * kProfileShift + 1> sums{};
  for (int k = -kProfileShift; k <= kProfileShift; ++k) {
    std::int64_t s = 0;
    for (int i = kProfileShift; i < kWindowSize - kProfileShift; ++i) s += std::llabs(reference[i] - now[i + k]);
    sums[k + kProfileShift] = s;
  }
  return sums;
}

int BestShift(const std::array<std::int64_t, 2 * kProfileShift + 1>& sums) {
  return static_cast<int>(std::min_element(sums.begin(), sums.end()) - sums.begin()) - kProfileShift;
}

}  // namespace

void ResetSeriesAlignment(ProgramState& state) { state.guiding.tracking = TrackingState{}; }

SeriesAlignResult AlignByStar(ProgramState& state, Host& host, int divisor) {
  divisor = std::max(divisor, 1);
  TrackingState& t = state.guiding.tracking;
  const int width = state.geometry.width, height = state.geometry.height;
  std::uint16_t* work = state.images.workImage;
  std::uint16_t* sum = state.images.scratchImage;
  auto pixel = [&](const StarPosition& p) { return work[static_cast<std::size_t>(p.y) * width + p.x]; };

  if (!t.referenceSet) {
    StartSum(state, divisor);
    const auto found = CentreFrom(state, host, state.guiding.guideStar);
    if (!found) return SeriesAlignResult::StarLost;
    t.reference = *found;
    t.referencePeak = pixel(*found);
    t.referenceSet = true;
    return SeriesAlignResult::Added;
  }
  const auto found = CentreFrom(state, host, t.reference);
  const double v = found ? pixel(*found) : 0;
  if (!found || v > 3.0 * t.referencePeak || v < 0.3 * t.referencePeak) {
    RestoreSum(state);
    return SeriesAlignResult::StarLost;
  }
  const int dx = found->x - t.reference.x, dy = found->y - t.reference.y;
  t.reference = *found;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int sx = x - dx, sy = y - dy;
      if (!Inside(sx, sy, width, height)) continue;
      std::uint16_t& out = work[static_cast<std::size_t>(y) * width + x];
      out = Clamped(static_cast<std::int64_t>(sum[static_cast<std::size_t>(sy) * width + sx]) + out / divisor);
    }
  }
  std::copy_n(work, state.geometry.pixelCount, sum);
  return SeriesAlignResult::Added;
}

SeriesAlignResult AlignByProfile(ProgramState& state, int divisor) {
  divisor = std::max(divisor, 1);
  TrackingState& t = state.guiding.tracking;
  const int width = state.geometry.width, height = state.geometry.height;
  if (width < kWindowLeft + kWindowSize || height < kWindowTop + kWindowSize) return SeriesAlignResult::NoSuitableStar;
  const std::uint16_t* work = state.images.workImage;
  std::uint16_t* sum = state.images.scratchImage;
  const int m = FullestCoarseBin(state);
  const int level = m * 256 + 1024;

  // The first frame is marked by its own flag, not by a mean level of 0,
  // so a series of very dark frames does not start again at every frame.
  if (!t.profileSet) {
    const auto base = FindWindowBase(state, m);
    if (!base) return SeriesAlignResult::NoSuitableStar;
    StartSum(state, divisor);
    std::int64_t first = 0;
    for (int i = 0; i < std::min(state.geometry.pixelCount, 10'000); ++i) first += work[i];
    t.referenceLevel = static_cast<int>(static_cast<double>(first) * 0.0001);
    t.profileSet = true;
    t.windowBase = *base;
    Profiles(state, *base, level, t.rowProfile, t.columnProfile);
    t.offsetX = t.offsetY = 0;
    return SeriesAlignResult::Added;
  }

  std::int64_t rows[kWindowSize], columns[kWindowSize];
  Profiles(state, t.windowBase, level, rows, columns);
  const auto rowSums = ShiftSums(t.rowProfile, rows);
  const auto columnSums = ShiftSums(t.columnProfile, columns);
  const int dy = BestShift(rowSums), dx = BestShift(columnSums);
  if (columnSums[kProfileShift - 1] + columnSums[kProfileShift] + columnSums[kProfileShift + 1] < 5000) {
    RestoreSum(state);
    return SeriesAlignResult::StarLost;
  }
  std::copy_n(rows, kWindowSize, t.rowProfile);
  std::copy_n(columns, kWindowSize, t.columnProfile);
  const int shiftX = t.offsetX + dx, shiftY = t.offsetY + dy;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int sx = x + shiftX, sy = y + shiftY;
      if (!Inside(sx, sy, width, height)) continue;
      std::uint16_t& out = sum[static_cast<std::size_t>(y) * width + x];
      out = Clamped(static_cast<std::int64_t>(out) + work[static_cast<std::size_t>(sy) * width + sx] / divisor);
    }
  }
  t.offsetX = shiftX;
  t.offsetY = shiftY;
  std::copy_n(sum, state.geometry.pixelCount, state.images.workImage);
  return SeriesAlignResult::Added;
}

}  // namespace qv
