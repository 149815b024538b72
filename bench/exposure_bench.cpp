// The host's cost of one full-resolution frame of the largest sensor
// (3388 x 2712) as an exposure run handles it: the read-out of a frame the
// camera has ready, the automatic dark and flat, the display rebuild and the
// autosave, each reported as copies of the frame timed in the same run; then
// the whole run per frame, and the memory a 100-frame continuous run keeps.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/display_rebuild.h"
#include "app/null_host.h"
#include "app/program_state.h"
#include "app/virtual_clock.h"
#include "camera/camera_commands.h"
#include "camera/exposure_run.h"
#include "files/autosave.h"
#include "processing/dark_flat.h"
#include "ready_camera.h"

namespace qv {
namespace {

constexpr int kW = 3388, kH = 2712;
constexpr std::size_t kPixels = static_cast<std::size_t>(kW) * kH;

std::vector<std::uint8_t>& Ready() {
  static std::vector<std::uint8_t> reply = [] {
    std::vector<std::uint8_t> r(kPixels * 2);
    for (std::size_t i = 0; i < r.size(); i += 2) {
      const auto v = static_cast<std::uint16_t>(1000 + (i * 7) % 3000);
      r[i] = static_cast<std::uint8_t>(v & 0xFF);
      r[i + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    return r;
  }();
  return reply;
}

// Rebuilds the display when asked, as the window does.
class RebuildingHost final : public NullHost {
 public:
  explicit RebuildingHost(ProgramState& state) : state_(state) {}
  void requestRebuildDisplay() override { RebuildDisplay(state_, *this); }

 private:
  ProgramState& state_;
};

std::string Root() {
  const std::string root = "/tmp/qelvesk-exposure-bench";
  std::filesystem::create_directories(root);
  return root;
}

void WriteReference(const std::string& path, std::uint16_t value, const char* tag) {
  std::vector<std::uint16_t> pixels(kPixels, value);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size() * 2));
  out.write(tag, 10);
}

std::unique_ptr<ProgramState> ReadyState() {
  auto state = std::make_unique<ProgramState>();
  state->paths.root = Root();
  state->settings.cameraType = 4;
  state->camera.model = *FindCameraModel(4);
  state->camera.link.camera = std::make_unique<bench::ReadyCamera>(Ready());
  state->camera.link.cameraAttached = true;
  SetGeometryForReadout(*state, kFullResolution);
  ResetBufferPointers(state->images);
  state->files.darkFramePath = Root() + "/dark.raw";
  state->files.flatFieldPath = Root() + "/flat.raw";
  WriteReference(state->files.darkFramePath, 100, "RAW 1     ");
  WriteReference(state->files.flatFieldPath, 2000, "FLATH  1  ");
  return state;
}

// Milliseconds of one plain copy of the frame, timed now.
double CopyMs() {
  std::vector<std::uint16_t> from(kPixels, 7), to(kPixels);
  std::memcpy(to.data(), from.data(), kPixels * 2);
  const auto start = std::chrono::steady_clock::now();
  constexpr int kCopies = 20;
  for (int i = 0; i < kCopies; ++i) {
    from[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i);
    std::memcpy(to.data(), from.data(), kPixels * 2);
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kCopies;
}

// Runs `stage` per iteration and reports its time in frame copies.
template <typename Stage>
void InCopies(benchmark::State& s, Stage stage) {
  const double copyMs = CopyMs();
  double totalMs = 0;
  for (auto _ : s) {
    const auto start = std::chrono::steady_clock::now();
    stage();
    benchmark::ClobberMemory();
    totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  s.counters["frame_copies"] = totalMs / static_cast<double>(s.iterations()) / copyMs;
}

void BM_ExposureReadout(benchmark::State& s) {
  auto state = ReadyState();
  NullHost host;
  InCopies(s, [&] { benchmark::DoNotOptimize(ReadFrame(*state, host, kFullResolution, 10)); });
}
BENCHMARK(BM_ExposureReadout)->Unit(benchmark::kMillisecond);

void BM_ExposureAutoDark(benchmark::State& s) {
  auto state = ReadyState();
  NullHost host;
  InCopies(s, [&] { ApplyAutoDark(*state, host, state->images.workImage); });
}
BENCHMARK(BM_ExposureAutoDark)->Unit(benchmark::kMillisecond);

void BM_ExposureAutoFlat(benchmark::State& s) {
  auto state = ReadyState();
  NullHost host;
  InCopies(s, [&] { ApplyAutoFlat(*state, host, state->images.workImage); });
}
BENCHMARK(BM_ExposureAutoFlat)->Unit(benchmark::kMillisecond);

void BM_ExposureDisplayRebuild(benchmark::State& s) {
  auto state = ReadyState();
  NullHost host;
  InCopies(s, [&] { RebuildDisplay(*state, host); });
}
BENCHMARK(BM_ExposureDisplayRebuild)->Unit(benchmark::kMillisecond);

void BM_ExposureAutosave(benchmark::State& s) {
  auto state = ReadyState();
  NullHost host;
  VirtualClock clock;
  InCopies(s, [&] {
    AutosaveFits(*state, host, clock, state->images.workImage);
    std::filesystem::remove(AutosaveFilePath(*state, state->settings.lastFileNumber));
  });
}
BENCHMARK(BM_ExposureAutosave)->Unit(benchmark::kMillisecond);

// One whole frame of a run with dark, flat, rebuild and autosave; the
// read-out's own share is BM_ExposureReadout.
void BM_ExposureWholeFrame(benchmark::State& s) {
  auto state = ReadyState();
  RebuildingHost host(*state);
  VirtualClock clock;
  ExposureSettings& e = state->camera.exposure;
  ChooseRange(e, 'h');
  e.autoDark = e.autoFlat = e.autosave = true;
  InCopies(s, [&] {
    e.count = 1;
    ExposureOperation run(*state, host, clock);
    WakeTime wake = run.start(clock.milliseconds());
    while (wake) {
      clock.nowMs = std::max(clock.nowMs, *wake);
      wake = run.step(clock.nowMs);
    }
    std::filesystem::remove(AutosaveFilePath(*state, state->settings.lastFileNumber));
  });
}
BENCHMARK(BM_ExposureWholeFrame)->Unit(benchmark::kMillisecond);

long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * 4;
}

// A continuous run of 100 frames on the virtual clock: the memory resident
// after frame 10 and after frame 100.
void BM_ContinuousRunMemory(benchmark::State& s) {
  auto state = ReadyState();
  RebuildingHost host(*state);
  VirtualClock clock;
  ExposureSettings& e = state->camera.exposure;
  ChooseRange(e, 'h');
  e.continuous = true;
  long at10 = 0, at100 = 0;
  for (auto _ : s) {
    e.count = 1;
    ExposureOperation run(*state, host, clock);
    WakeTime wake = run.start(clock.milliseconds());
    while (wake) {
      clock.nowMs = std::max(clock.nowMs, *wake);
      if (run.framesRead() == 10 && at10 == 0) at10 = ResidentKb();
      if (run.framesRead() == 100) {
        at100 = ResidentKb();
        run.input(OperationInput::KeyPress);
      }
      wake = run.step(clock.nowMs);
    }
  }
  s.counters["rss_growth_kb_10_to_100"] = static_cast<double>(at100 - at10);
}
BENCHMARK(BM_ContinuousRunMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace qv
