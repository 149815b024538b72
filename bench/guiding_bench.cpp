// Find centre: its cost on the largest frame beside a plain copy of that
// frame, and its accuracy on simulated stars of known position over a range
// of signal-to-noise ratios (the error of the centroid in pixels, mean and
// 90th percentile, as counters).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "guiding/find_centre.h"

namespace qv {
namespace {

constexpr int kW = 3388, kH = 2712;
constexpr std::size_t kPixels = static_cast<std::size_t>(kW) * kH;
constexpr int kRadius = 8;

// A frame with sky 1000 plus noise of the given sigma and one Gaussian star
// (sigma 1.5 pixels) of peak `snr` x noise at (x, y).
void RenderStar(std::vector<std::uint16_t>& frame, int width, int height, double x, double y, double snr,
                double noise, std::mt19937& rng) {
  std::normal_distribution<double> n(0.0, noise);
  const double peak = snr * noise;
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) {
      const double d2 = (c - x) * (c - x) + (r - y) * (r - y);
      const double v = 1000.0 + peak * std::exp(-d2 / (2 * 1.5 * 1.5)) + n(rng);
      frame[static_cast<std::size_t>(r) * width + c] = static_cast<std::uint16_t>(std::clamp(v, 0.0, 65535.0));
    }
  }
}

void BM_GuidingCopyFrame(benchmark::State& s) {
  std::vector<std::uint16_t> in(kPixels, 1000), out(kPixels);
  for (auto _ : s) {
    std::memcpy(out.data(), in.data(), kPixels * 2);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GuidingCopyFrame)->Unit(benchmark::kMicrosecond);

void BM_FindCentreOnTheLargestFrame(benchmark::State& s) {
  std::vector<std::uint16_t> frame(kPixels, 1000);
  for (int r = -2; r <= 2; ++r) {
    for (int c = -2; c <= 2; ++c) frame[static_cast<std::size_t>(1500 + r) * kW + 1700 + c] = 30000;
  }
  const FrameView view{frame.data(), kW, kH, kW};
  for (auto _ : s) benchmark::DoNotOptimize(MeasureCentroid(view, 1701, 1499, kRadius));
}
BENCHMARK(BM_FindCentreOnTheLargestFrame)->Unit(benchmark::kMicrosecond);

// Stars at random sub-pixel places, found from a start up to 3 pixels off,
// three runs each as the guiding does.
void BM_FindCentreAccuracy(benchmark::State& s) {
  const double snr = static_cast<double>(s.range(0));
  constexpr int kSide = 48, kStars = 400;
  std::vector<std::uint16_t> frame(kSide * kSide);
  std::vector<double> errors;
  for (auto _ : s) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> place(-0.5, 0.5);
    std::uniform_int_distribution<int> start(-3, 3);
    errors.clear();
    for (int i = 0; i < kStars; ++i) {
      const double x = 24 + place(rng), y = 24 + place(rng);
      RenderStar(frame, kSide, kSide, x, y, snr, 30.0, rng);
      const FrameView view{frame.data(), kSide, kSide, kSide};
      StarPosition p{24 + start(rng), 24 + start(rng), 0, 0};
      for (int run = 0; run < 3; ++run) {
        const auto c = MeasureCentroid(view, p.x, p.y, kRadius);
        if (!c) break;
        p = WithTenths(*c);
      }
      errors.push_back(std::hypot(p.x + p.tenthsX / 10.0 - x, p.y + p.tenthsY / 10.0 - y));
    }
  }
  std::sort(errors.begin(), errors.end());
  double mean = 0;
  for (const double e : errors) mean += e;
  s.counters["mean_err_px"] = mean / static_cast<double>(errors.size());
  s.counters["p90_err_px"] = errors[errors.size() * 9 / 10];
}
BENCHMARK(BM_FindCentreAccuracy)->Arg(5)->Arg(10)->Arg(20)->Arg(50)->Arg(100)->Arg(300)->Iterations(1)->Unit(
    benchmark::kMillisecond);

}  // namespace
}  // namespace qv
