// Host-side work on a camera frame of the largest sensor (3388 x 2712), each
// beside a plain copy of the same frame measured in the same run.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/null_host.h"
#include "app/program_state.h"
#include "camera/camera_commands.h"
#include "camera/frame_rebuild.h"
#include "camera/set_camera_type.h"
#include "platform/system_clock.h"
#include "ready_camera.h"
#include "sim/sim_world.h"

namespace qv {
namespace {

constexpr int kW = 3388, kH = 2712;
constexpr std::size_t kPixels = static_cast<std::size_t>(kW) * kH;

std::vector<std::uint8_t>& Reply() {
  static std::vector<std::uint8_t> reply = [] {
    std::vector<std::uint8_t> r(kPixels * 2);
    for (std::size_t i = 0; i < r.size(); ++i) r[i] = static_cast<std::uint8_t>(i * 31 + 7);
    return r;
  }();
  return reply;
}

void BM_CopyFrame(benchmark::State& s) {
  std::vector<std::uint16_t> out(kPixels);
  for (auto _ : s) {
    std::memcpy(out.data(), Reply().data(), kPixels * 2);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyFrame)->Unit(benchmark::kMillisecond);

void BM_DecodeFullFrame(benchmark::State& s) {
  std::vector<std::uint16_t> out(kPixels);
  for (auto _ : s) {
    DecodeLe16(Reply().data(), out.data(), kPixels);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DecodeFullFrame)->Unit(benchmark::kMillisecond);

void BM_Resample3x3(benchmark::State& s) {
  std::vector<std::uint16_t> src(static_cast<std::size_t>(kW / 3) * (kH / 3), 1234), out(kPixels / 4);
  for (auto _ : s) {
    Resample3x3(src.data(), kW / 3, kH / 3, out.data(), kW / 2, kH / 2);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Resample3x3)->Unit(benchmark::kMillisecond);

void BM_Enlarge4x4(benchmark::State& s) {
  std::vector<std::uint16_t> out(kPixels / 4);
  for (auto _ : s) {
    Enlarge4x4(Reply().data(), kW / 4, kH / 4, out.data(), kW / 2, kH / 2);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Enlarge4x4)->Unit(benchmark::kMillisecond);

std::unique_ptr<ProgramState> LargestCameraState() {
  auto state = std::make_unique<ProgramState>();
  state->camera.model = *FindCameraModel(4);
  state->settings.cameraType = 4;
  return state;
}

void ReadMode(benchmark::State& s, int mode) {
  auto state = LargestCameraState();
  state->camera.link.camera = std::make_unique<bench::ReadyCamera>(Reply());
  state->camera.link.cameraAttached = true;
  SetGeometryForReadout(*state, mode);
  qv::NullHost host;
  for (auto _ : s) {
    benchmark::DoNotOptimize(ReadFrame(*state, host, mode, 10));
    benchmark::ClobberMemory();
  }
}
void BM_ReadFrameFullResolution(benchmark::State& s) { ReadMode(s, kFullResolution); }
void BM_ReadFrame3x3(benchmark::State& s) { ReadMode(s, kBinned3x3); }
void BM_ReadFrame4x4(benchmark::State& s) { ReadMode(s, kBinned4x4); }
BENCHMARK(BM_ReadFrameFullResolution)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFrame3x3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFrame4x4)->Unit(benchmark::kMillisecond);

// The whole read-out through the simulated camera, rendering included.
void BM_SimulatedFullReadout(benchmark::State& s) {
  auto state = LargestCameraState();
  SystemClock clock;
  auto world = std::make_shared<sim::SimWorld>(clock, 4);
  state->camera.link.bus = sim::MakeSimBus(world);
  state->camera.link.camera = state->camera.link.bus->openCamera("");
  state->camera.link.cameraAttached = true;
  SetGeometryForReadout(*state, kFullResolution);
  qv::NullHost host;
  for (auto _ : s) {
    benchmark::DoNotOptimize(ReadFrame(*state, host, kFullResolution, 0));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SimulatedFullReadout)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qv
