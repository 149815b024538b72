// 500 guided frames on the simulator (virtual clock; seeing 2 pixels FWHM,
// periodic error 10 pixels peak to peak over 480 s, drift 0.1 pixel a
// second) on the main camera and on both guider sensors, guided and
// unguided: the RMS drift in pixels is reported with the host's CPU time per
// frame.

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>

#include "app/null_host.h"
#include "app/program_state.h"
#include "app/run_operation.h"
#include "app/virtual_clock.h"
#include "camera/camera_commands.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "guiding/guider_guiding.h"
#include "guiding/main_guiding.h"
#include "sim/sim_world.h"

namespace qv {
namespace {

constexpr int kFrames = 500;

struct Rig {
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  NullHost host;
  VirtualClock clock;
  std::shared_ptr<sim::SimWorld> world;
  std::unique_ptr<UsbBus> bus;

  explicit Rig(char guiderSensor = 's') {
    state->paths.root = "/tmp/qelvesk_guiding_bench";
    state->settings.ShowInterfaceDetails = false;
    state->settings.cameraType = 1;
    state->settings.telescopeGuiding = 'b';
    state->settings.ignoreSmallDrift = false;
    // The simulated camera sees north as up.
    state->settings.driveDirections = {'s', 'n', 'e', 'w'};
    state->settings.guiderRaRate = state->settings.guiderDecRate = 2;
    state->settings.guiderCameraType = guiderSensor;
    benchmark::DoNotOptimize(SetCameraType(state->settings, state->camera, state->geometry, state->paths));
    SetGeometryForReadout(*state, kFullResolution);
    world = std::make_shared<sim::SimWorld>(clock, 1, 7);
    bus = sim::MakeSimBus(world);
    benchmark::DoNotOptimize(ConnectCamera(*state, *bus, host, clock));
    state->guiding.telescopeInitialised = true;
    sim::Mount& m = world->scene.mount;
    m.driftXPerSecond = 0.1;
    m.driftYPerSecond = 0;
    m.periodicErrorAmplitude = 5;  // 10 peak to peak
    m.periodicErrorPeriodS = 480;
    m.decBacklash = 0;
    world->scene.seeingSigma = 2.0 / 2.355;
    const auto& star = world->scene.stars()[0];
    const int x = static_cast<int>(world->scene.starX(star, clock.nowMs) + 0.5);
    const int y = static_cast<int>(world->scene.starY(star, clock.nowMs) + 0.5);
    state->guiding.guideStar = {x, y, 0, 0};
    state->guiding.guideStarChosen = true;
    const int columns = GuiderColumns(state->settings);
    state->guiding.guiderStar = {x - world->scene.guiderOriginX(columns), y - world->scene.guiderOriginY(290), 0, 0};
    state->guiding.guiderStarChosen = true;
  }
};

template <typename Op, typename Options>
void Run(benchmark::State& bench, bool guide, char guiderSensor = 's') {
  double rms = 0, cpuPerFrame = 0;
  for (auto _ : bench) {
    Rig rig(guiderSensor);
    Options options;
    options.exposureMs = 1000;
    options.frames = kFrames;
    options.sendCorrections = guide;
    Op op(*rig.state, rig.host, rig.clock, options);
    const std::clock_t start = std::clock();
    RunOperation(op, rig.clock, rig.host);
    cpuPerFrame = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC / kFrames;
    rms = RmsErrorPixels(op.frames());
  }
  bench.counters["rms_px"] = rms;
  bench.counters["cpu_us_per_frame"] = cpuPerFrame * 1e6;
}

void BM_MainCameraGuided(benchmark::State& s) { Run<MainGuidingOperation, MainGuidingOptions>(s, true); }
void BM_MainCameraUnguided(benchmark::State& s) { Run<MainGuidingOperation, MainGuidingOptions>(s, false); }
void BM_GuiderGuided(benchmark::State& s) { Run<GuiderGuidingOperation, GuiderGuidingOptions>(s, true); }
void BM_GuiderUnguided(benchmark::State& s) { Run<GuiderGuidingOperation, GuiderGuidingOptions>(s, false); }
// The narrow guider sensor (376 x 290).
void BM_NarrowGuiderGuided(benchmark::State& s) { Run<GuiderGuidingOperation, GuiderGuidingOptions>(s, true, 'x'); }
void BM_NarrowGuiderUnguided(benchmark::State& s) { Run<GuiderGuidingOperation, GuiderGuidingOptions>(s, false, 'x'); }
BENCHMARK(BM_MainCameraGuided)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainCameraUnguided)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GuiderGuided)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GuiderUnguided)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NarrowGuiderGuided)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NarrowGuiderUnguided)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qv
