#include "guiding/find_centre.h"

#include <algorithm>
#include <array>

#include "camera/camera_commands.h"

namespace qv {

namespace {

constexpr int kBins = 4096;

int Amplified(int value, bool faint) {
  if (!faint) return value;
  return value > 16383 ? 65535 : value * 4;
}

}  // namespace

int HistogramBackground(int bin) {
  // Kept in single precision on purpose: bin 225 gives 3743 here, 3744 in double.
  const volatile float level = static_cast<float>(bin) * 16.64f;
  return static_cast<int>(level);
}

std::optional<BoxCentroid> MeasureCentroid(const FrameView& frame, int x, int y, int radius) {
  const int c = std::max(radius, 0);
  if (x - c < 0 || y - c < 0 || x + c + 1 > frame.width || y + c + 1 > frame.height) return std::nullopt;
  const int side = 2 * c + 1;
  const int left = x - c, top = y - c;
  auto at = [&](int col, int row) -> int {
    return frame.pixels[static_cast<std::size_t>(top + row) * frame.stride + left + col];
  };

  std::array<std::uint32_t, kBins> bins{};
  int peak = 0;
  for (int row = 0; row < side; ++row) {
    for (int col = 0; col < side; ++col) {
      const int v = at(col, row);
      ++bins[v >> 4];
      peak = std::max(peak, v);
    }
  }
  const int fullest = static_cast<int>(std::max_element(bins.begin(), bins.end()) - bins.begin());
  const int background = HistogramBackground(fullest);
  const bool faint = peak < kFaintPeak;
  auto level = [&](int col, int row) { return Amplified(std::max(at(col, row) - background, 0), faint); };

  std::int64_t sum = 0;
  for (int row = 0; row < side; ++row) {
    for (int col = 0; col < side; ++col) sum += level(col, row);
  }
  const std::int64_t mean = sum / (static_cast<std::int64_t>(side) * side);

  // Sums start at 1 so that a flat box (nothing above the mean) still divides.
  std::int64_t s = 1, sc = 1, sr = 1;
  for (int row = 0; row < side; ++row) {
    for (int col = 0; col < side; ++col) {
      const std::int64_t d = level(col, row) - mean;
      if (d < 1) continue;
      s += d;
      sc += d * col;
      sr += d * row;
    }
  }
  return BoxCentroid{static_cast<double>(sc) / static_cast<double>(s), static_cast<double>(sr) / static_cast<double>(s),
                     left, top, background};
}

StarPosition WithTenths(const BoxCentroid& c) {
  const int ix = static_cast<int>(c.cx), iy = static_cast<int>(c.cy);
  return {c.left + ix, c.top + iy, static_cast<int>(10 * c.cx) - 10 * ix, static_cast<int>(10 * c.cy) - 10 * iy};
}

StarPosition Rounded(const BoxCentroid& c) {
  return {c.left + static_cast<int>(c.cx + 0.5), c.top + static_cast<int>(c.cy + 0.5), 0, 0};
}

std::optional<StarPosition> FindCentre(ProgramState& state, Host& host, int x, int y, CentreSource source) {
  return FindCentreWithRadius(state, host, x, y, source, state.settings.guideStarMaskRadius);
}

std::optional<StarPosition> FindCentreWithRadius(ProgramState& state, Host& host, int x, int y, CentreSource source,
                                                 int radius) {
  GuidingState& g = state.guiding;
  const bool guider = source == CentreSource::GuiderCamera;
  FrameView frame{state.images.workImage, state.geometry.width, state.geometry.height, state.geometry.width};
  if (guider) {
    // The guider frame is stored as the sensor reads it: the narrow sensor's
    // rows are 376 pixels apart, not 500.
    const int columns = GuiderColumns(state.settings);
    frame = {state.images.guideImage, columns, ImageStore::kGuideRows, columns};
  } else if (g.mainGuidingRunning || g.subFrameActive) {
    frame.width = frame.height = frame.stride = kGuideFrameSize;
  }
  const auto centroid = MeasureCentroid(frame, x, y, radius);
  if (!centroid) {
    host.showMessage({"QEL_VESK_USB  - Find Centre", "Find centre failed - outside image area", MessageIcon::None});
    return std::nullopt;
  }
  if (guider) return g.guiderStar = WithTenths(*centroid);
  const bool tenths = g.mainGuidingRunning && !state.settings.ignoreSmallDrift;
  return g.guideStar = tenths ? WithTenths(*centroid) : Rounded(*centroid);
}

}  // namespace qv
