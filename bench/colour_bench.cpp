// Colour synthesis, anti-alias and colour balance on the largest frame
// (3388 x 2712), each reported beside one plain copy of the frame measured in
// the same run: the "copies" counter is the operation's time in frame copies.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "app/null_host.h"
#include "app/program_state.h"
#include "colour/anti_alias.h"
#include "colour/colour_balance.h"
#include "colour/colour_synthesis.h"
#include "sky_frame.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Frame {
  std::unique_ptr<qv::ProgramState> state = std::make_unique<qv::ProgramState>();
  qv::NullHost host;
  std::vector<std::uint16_t> raw;

  Frame() {
    qv::SetFrameSize(state->geometry, 3388, 2712);
    raw = qv::bench::SkyLikeFrame(static_cast<std::size_t>(state->geometry.pixelCount));
    std::memcpy(state->images.workImage, raw.data(), raw.size() * 2);
    qv::ResetBufferPointers(state->images);
    std::memset(state->images.scratchImage, 0, raw.size() * 2);
  }
  double timedCopy() {
    const auto start = Clock::now();
    std::memcpy(state->images.scratchImage, raw.data(), raw.size() * 2);
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(Clock::now() - start).count();
  }
  // A raw frame again, not yet converted.
  void restoreRaw() {
    std::memcpy(state->images.workImage, raw.data(), raw.size() * 2);
    state->images.colourConverted = 0;
  }
};

Frame& TheFrame() {
  static Frame frame;
  return frame;
}

template <typename Prepare, typename Operation>
void Measure(benchmark::State& bench, Prepare prepare, Operation operation) {
  Frame& f = TheFrame();
  double seconds = 0, copySeconds = 0;
  for (auto _ : bench) {
    prepare(f);
    f.state->images.history.clear();
    const auto start = Clock::now();
    operation(f);
    seconds += std::chrono::duration<double>(Clock::now() - start).count();
    copySeconds += f.timedCopy();
  }
  bench.counters["copies"] = seconds / copySeconds;
}

void Synthesis(benchmark::State& bench) {
  Measure(
      bench, [](Frame& f) { f.restoreRaw(); }, [](Frame& f) { qv::ConvertToColour(*f.state, f.host); });
}

// A converted frame to work on.
void Converted(Frame& f) {
  if (f.state->images.colourConverted) return;
  f.restoreRaw();
  qv::ConvertToColour(*f.state, f.host);
}

void AntiAlias(benchmark::State& bench) {
  Measure(bench, Converted, [](Frame& f) { benchmark::DoNotOptimize(qv::AntiAliasFilter(*f.state, f.host, false)); });
}

void ColourBalance(benchmark::State& bench) {
  std::array<qv::ColourBalance, 3> values{};
  values[qv::ImageStore::kRed].maximum = 240;
  values[qv::ImageStore::kGreen].minimum = 2;
  values[qv::ImageStore::kBlue].start = 3;
  Measure(bench, Converted, [values](Frame& f) {
    benchmark::DoNotOptimize(qv::ApplyColourBalance(*f.state, f.host, values, f.state->settings.colourBalanceLevel));
  });
}

}  // namespace

BENCHMARK(Synthesis)->Unit(benchmark::kMillisecond);
BENCHMARK(AntiAlias)->Unit(benchmark::kMillisecond);
BENCHMARK(ColourBalance)->Unit(benchmark::kMillisecond);
