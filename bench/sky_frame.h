#pragma once

// The benchmarks' test frame: a sky-like background (3000, noise 400) with
// 2000 bright pixels for stars and hot pixels, the same for every run.

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace qv::bench {

inline std::vector<std::uint16_t> SkyLikeFrame(std::size_t pixels) {
  std::vector<std::uint16_t> frame(pixels);
  std::mt19937 random(1);
  std::normal_distribution<double> sky(3000, 400);
  for (auto& v : frame) v = static_cast<std::uint16_t>(std::clamp(sky(random), 0.0, 65535.0));
  for (int i = 0; i < 2000; ++i) frame[random() % frame.size()] = 60000;
  return frame;
}

}  // namespace qv::bench
