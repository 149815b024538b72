#pragma once

// A program state in its own folder with the simulated camera behind it, on
// the test clock: what every test that takes frames from the simulator
// starts from. `HostType` is the recording host in core tests and the
// window's host in the Qt tests.

#include <cmath>
#include <memory>

#include "app/program_state.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "guiding/guiding_state.h"
#include "sim/sim_world.h"
#include "support/temp_dir.h"
#include "support/test_clock.h"

namespace qv::test {

template <typename HostType>
struct SimCamera {
  // Sets up this camera type (with no details dialog on connecting) and a
  // simulated world for it with a fixed noise seed.
  void MakeSimCamera(int cameraType = 1) {
    state->paths.root = dir.str();
    state->settings.ShowInterfaceDetails = false;
    state->settings.cameraType = static_cast<std::int16_t>(cameraType);
    // The rig needs the type in force; its settings file is each test's own business.
    static_cast<void>(SetCameraType(state->settings, state->camera, state->geometry, state->paths));
    world = std::make_shared<sim::SimWorld>(clock, cameraType, 7);
    bus = sim::MakeSimBus(world);
  }
  bool ConnectSimCamera() { return ConnectCamera(*state, *bus, host, clock); }

  // The mount holds the sky still: no drift, periodic error or Dec backlash.
  void HoldMountStill() {
    sim::Mount& mount = world->scene.mount;
    mount.driftXPerSecond = mount.driftYPerSecond = mount.periodicErrorAmplitude = 0;
    mount.decBacklash = 0;
  }

  // A night to guide in: drift, periodic error and 2-pixel seeing. The
  // simulated camera sees north up, so a star that rose needs a south pulse:
  // the Dec drive letters are swapped.
  void DriftingSky() {
    sim::Mount& mount = world->scene.mount;
    mount.driftXPerSecond = 0.1;
    mount.driftYPerSecond = -0.05;
    mount.periodicErrorAmplitude = 5;
    world->scene.seeingSigma = 2.0 / 2.355;
    state->settings.driveDirections = {'s', 'n', 'e', 'w'};
  }

  const sim::Star& BrightStar() const { return world->scene.stars()[0]; }
  // Where the bright star is now, to the nearest pixel of the main frame.
  StarPosition BrightStarNow() const {
    return {static_cast<int>(std::lround(world->scene.starX(BrightStar(), clock.nowMs))),
            static_cast<int>(std::lround(world->scene.starY(BrightStar(), clock.nowMs))), 0, 0};
  }
  // The same on the guider's frame of `columns` x `rows`.
  StarPosition BrightStarOnGuider(int columns, int rows) const {
    const StarPosition main = BrightStarNow();
    return {main.x - world->scene.guiderOriginX(columns), main.y - world->scene.guiderOriginY(rows), 0, 0};
  }

  TempDir dir;
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  HostType host;
  TestClock clock;
  std::shared_ptr<sim::SimWorld> world;
  std::unique_ptr<UsbBus> bus;
};

}  // namespace qv::test
