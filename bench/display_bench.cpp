// RebuildDisplay on the largest frame (3388 x 2712), grey and colour, next to
// one plain copy of the frame's bytes timed after each rebuild: read the
// results as ratios to the copy.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/display_bitmap.h"
#include "app/display_rebuild.h"
#include "app/frame_geometry.h"
#include "app/null_host.h"
#include "camera/camera_models.h"

namespace {

using SilentHost = qv::NullHost;

std::unique_ptr<qv::ProgramState> LargestFrame(bool colour) {
  auto state = std::make_unique<qv::ProgramState>();
  state->paths.root = (std::filesystem::temp_directory_path() / "qelvesk-bench").string();
  qv::RecomputeFrameGeometry(state->geometry, *qv::FindCameraModel(4));
  qv::StartupFill(state->images, state->geometry);
  const int n = state->geometry.pixelCount;
  for (int i = 0; i < n; ++i) {
    state->images.workImage[i] = static_cast<std::uint16_t>(i * 2654435761u >> 16);
    for (int p = 0; p < 3; ++p) state->images.colourPlanes[p][i] = static_cast<std::uint16_t>(i * (p + 3));
  }
  state->images.colourConverted = colour ? 1 : 0;
  state->images.autoContrast = 1;
  return state;
}

void CopyFrameBytes(benchmark::State& run) {
  auto state = LargestFrame(false);
  const std::size_t bytes = static_cast<std::size_t>(state->geometry.pixelCount) * 2;
  for (auto _ : run) {
    std::memcpy(state->images.scratchImage, state->images.workImage, bytes);
    benchmark::ClobberMemory();
  }
}

// One plain copy of the frame's bytes, timed.
double SecondsForCopy(qv::ProgramState& state) {
  const std::size_t bytes = static_cast<std::size_t>(state.geometry.pixelCount) * 2;
  const auto start = std::chrono::steady_clock::now();
  std::memcpy(state.images.scratchImage, state.images.workImage, bytes);
  benchmark::ClobberMemory();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each rebuild is followed by one timed copy, so both see the same load.
void Rebuild(benchmark::State& run, bool colour) {
  auto state = LargestFrame(colour);
  SilentHost host;
  double total = 0, copies = 0;
  for (auto _ : run) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(qv::RebuildDisplay(*state, host));
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    copies += SecondsForCopy(*state);
  }
  // How many plain copies of the frame's bytes one rebuild costs.
  run.counters["copies"] = total / copies;
}

void RebuildGrey(benchmark::State& run) { Rebuild(run, false); }

// The part of a grey rebuild no conversion can remove: the finished bitmap's
// bytes written to the page cache under a temporary name and renamed.
void GreyBitmapFileOnly(benchmark::State& run) {
  auto state = LargestFrame(false);
  SilentHost host;
  qv::RebuildDisplay(*state, host);
  const std::vector<std::uint8_t> bitmap = state->display.bitmap;
  const std::string path = qv::DisplayBitmapPath(*state);
  double total = 0, copies = 0;
  for (auto _ : run) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(qv::WriteBitmapFile(path, bitmap.data(), bitmap.size(), qv::kGreyPixelOffset, 1));
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    copies += SecondsForCopy(*state);
  }
  run.counters["copies"] = total / copies;
}
void RebuildColour(benchmark::State& run) { Rebuild(run, true); }

}  // namespace

BENCHMARK(CopyFrameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(RebuildGrey)->Unit(benchmark::kMillisecond);
BENCHMARK(GreyBitmapFileOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(RebuildColour)->Unit(benchmark::kMillisecond);
