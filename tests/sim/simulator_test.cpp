// The simulated devices end to end, through the USB search and the command set.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "camera/camera_commands.h"
#include "camera/filter_cooler.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "guiding/ao_unit.h"
#include "guiding/telescope_commands.h"
#include "sim/sim_world.h"
#include "support/sim_camera_test.h"

namespace qv {
namespace {

class Simulator : public test::SimCameraTest {
 protected:
  // Clear, expose as the exposure sequence does, read. The read is tried
  // after a failed clear too, so every transfer of a fault is seen.
  bool Expose(int mode, std::uint32_t exposureMs) {
    SetGeometryForReadout(*state, mode);
    const bool cleared = ClearSensor(*state, host);
    if (exposureMs > 1000) clock.sleepMs(exposureMs);
    return ReadFrame(*state, host, mode, exposureMs) && cleared;
  }
  std::uint16_t Work(int x, int y) const { return state->images.workImage[y * state->geometry.width + x]; }
  // Brightest pixel within `r` of (x, y).
  int PeakNear(const std::uint16_t* image, int width, int height, double x, double y, int r = 3) const {
    int best = 0;
    for (int yy = static_cast<int>(y) - r; yy <= static_cast<int>(y) + r; ++yy)
      for (int xx = static_cast<int>(x) - r; xx <= static_cast<int>(x) + r; ++xx)
        if (xx >= 0 && yy >= 0 && xx < width && yy < height) best = std::max<int>(best, image[yy * width + xx]);
    return best;
  }
};

TEST_F(Simulator, SearchFindsTheCameraOfTheCurrentTypeAndTheWheel) {
  MakeSimCamera(4);
  world->wheel.positions = 5;
  ASSERT_TRUE(ConnectSimCamera());
  EXPECT_EQ(state->settings.cameraPid, "0616");
  EXPECT_EQ(state->camera.model.name, "K4C");
  EXPECT_TRUE(state->camera.link.filterWheelAttached);
  EXPECT_EQ(state->settings.filterCount, 5);
  EXPECT_EQ(state->camera.firmware.w0, 12);
  EXPECT_TRUE(state->camera.coolerAvailable);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Simulator, EveryReadoutModeShowsTheStarsWhereTheSceneHasThem) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  const int w = 1392, h = 1040;
  struct Case {
    int mode, width, height;
    double scale, offsetX, offsetY;
  };
  const Case cases[] = {{1, w, h, 1.0, 0, 0},
                        {2, w / 2, h / 2, 0.5, 0, 0},
                        {3, w / 2, h / 2, 0.5, 0, 0},
                        {4, w / 2, h / 2, 0.5, 0, 0},
                        {5, w / 2, h / 2, 1.0, -w / 4.0, -h / 4.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    ASSERT_TRUE(Expose(c.mode, 500));
    EXPECT_EQ(state->geometry.width, c.width);
    EXPECT_EQ(state->geometry.height, c.height);
    const std::uint32_t now = clock.nowMs;
    const double x = world->scene.starX(BrightStar(), now) * c.scale + c.offsetX;
    const double y = world->scene.starY(BrightStar(), now) * c.scale + c.offsetY;
    const int peak = PeakNear(state->images.workImage, c.width, c.height, x, y);
    const int background = Work(10, 10);
    EXPECT_GT(peak, background + 3000);
    EXPECT_LT(background, 1400);
    EXPECT_LT(PeakNear(state->images.workImage, c.width, c.height, x + 40 * c.scale + 10, y, 1), peak / 2);
  }
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Simulator, TheColourMatrixShowsInFullResolutionFrames) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  ASSERT_TRUE(Expose(1, 20'000));
  double sums[2][2] = {};
  int counts[2][2] = {};
  for (int y = 100; y < 300; ++y) {
    for (int x = 100; x < 300; ++x) {
      const int v = Work(x, y);
      if (v > 3000) continue;  // leave stars out
      sums[y & 1][x & 1] += v;
      ++counts[y & 1][x & 1];
    }
  }
  const double red = sums[0][0] / counts[0][0], green = sums[0][1] / counts[0][1];
  const double green2 = sums[1][0] / counts[1][0], blue = sums[1][1] / counts[1][1];
  EXPECT_GT(green - red, 200);
  EXPECT_GT(red - blue, 50);
  EXPECT_NEAR(green, green2, 30);
}

TEST_F(Simulator, ExposureTimingFromTheDelayOrFromTheClear) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  const std::uint32_t before = clock.nowMs;
  Expose(2, 800);
  EXPECT_EQ(world->lastExposureMs, 800u);  // timed by the camera
  EXPECT_GE(clock.nowMs - before, 800u);
  Expose(2, 30'000);
  EXPECT_GE(world->lastExposureMs, 30'000u);  // from the clear to the read-out
  EXPECT_LT(world->lastExposureMs, 30'100u);
  // Longer exposures collect more sky.
  const int longSky = Work(11, 11);
  Expose(2, 1000);
  EXPECT_GT(longSky, Work(11, 11) + 500);
}

TEST_F(Simulator, GuideBoxAndGuiderChannelSeeTheSameSky) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  // Guide box on the bright star.
  const double sx = world->scene.starX(BrightStar(), clock.nowMs), sy = world->scene.starY(BrightStar(), clock.nowMs);
  state->camera.guideBoxOriginX = static_cast<int>(sx) - 64;
  state->camera.guideBoxOriginY = static_cast<int>(sy) - 64;
  EXPECT_TRUE(ClearSensor(*state, host));
  ASSERT_TRUE(ReadGuideBox(*state, host, 300, false));
  EXPECT_GT(PeakNear(state->images.workImage, 128, 128, 64, 64), 4000);

  for (const bool binned : {false, true}) {
    SCOPED_TRACE(binned);
    state->settings.guiderBin2x2 = binned;
    ASSERT_TRUE(FlushGuider(*state, host));
    clock.sleepMs(500);
    ASSERT_TRUE(ReadGuiderFrame(*state, host, 500));
    const double gx = world->scene.starX(BrightStar(), clock.nowMs) - world->scene.guiderOriginX(500);
    const double gy = world->scene.starY(BrightStar(), clock.nowMs) - world->scene.guiderOriginY(290);
    const int peak = PeakNear(state->images.guideImage, 500, 290, gx, gy, 3);
    EXPECT_GT(peak, 60 * 256);
    EXPECT_LT(state->images.guideImage[5 * 500 + 5], 20 * 256);
  }
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Simulator, CoolerApproachesItsSetPointOverMinutes) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  state->camera.coolingOn = true;
  EXPECT_TRUE(MoveSetpoint(*state, host, -10));
  EXPECT_TRUE(UpdateCooler(*state, host));
  EXPECT_EQ(state->camera.actualTemperatureC, 20);
  int last = 20;
  for (int minute = 1; minute <= 8; ++minute) {
    clock.sleepMs(60'000);
    EXPECT_TRUE(UpdateCooler(*state, host));
    EXPECT_LE(state->camera.actualTemperatureC, last);
    last = state->camera.actualTemperatureC;
    if (minute == 1) {
      EXPECT_GT(last, 0);  // a finite rate
    }
  }
  EXPECT_EQ(last, -10);
  // Warmer sensors collect more dark current.
  const double cold = world->scene.darkPerSecond();
  ToggleCooling(*state);
  EXPECT_TRUE(UpdateCooler(*state, host));
  clock.sleepMs(600'000);
  EXPECT_TRUE(UpdateCooler(*state, host));
  EXPECT_EQ(state->camera.actualTemperatureC, 20);
  EXPECT_GT(world->scene.darkPerSecond(), cold * 4);
}

TEST_F(Simulator, FilterWheelOverUsbAndOverTheRelay) {
  MakeSimCamera(1);
  world->wheel.positions = 5;
  ASSERT_TRUE(ConnectSimCamera());
  EXPECT_TRUE(FilterFirst(*state, host, clock));
  EXPECT_EQ(world->wheel.position, 1);
  EXPECT_TRUE(FilterPrev(*state, host, clock));
  EXPECT_EQ(world->wheel.position, 5);
  EXPECT_TRUE(FilterNext(*state, host, clock));
  EXPECT_EQ(world->wheel.position, 1);

  // Without a USB wheel the serial relay moves it.
  state->camera.link.filterWheelAttached = false;
  state->camera.filterPosition = 3;
  EXPECT_TRUE(SelectFilter(*state, host, clock));
  EXPECT_EQ(world->wheel.position, 3);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Simulator, MountMovesByRelayBitsAndLx200WithDecBacklash) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  sim::Mount& mount = world->scene.mount;
  mount.driftXPerSecond = mount.driftYPerSecond = mount.periodicErrorAmplitude = 0;
  auto x = [&] {
    mount.advanceTo(clock.nowMs);
    return mount.shiftX(clock.nowMs);
  };
  auto y = [&] {
    mount.advanceTo(clock.nowMs);
    return mount.shiftY(clock.nowMs);
  };
  const double x0 = x();
  EXPECT_TRUE(SetGuideOutputs(*state, host, sim::kEast));
  clock.sleepMs(2000);
  EXPECT_TRUE(SetGuideOutputs(*state, host, 0));
  EXPECT_NEAR(x() - x0, 4.0, 0.05);  // 2 s at 2 px/s

  const double x1 = x();
  EXPECT_TRUE(SerialWrite(*state, host, 0, std::string_view("#:RC#")));
  EXPECT_TRUE(SerialWrite(*state, host, 0, std::string_view("#:Mw#")));
  clock.sleepMs(1000);
  EXPECT_TRUE(SerialWrite(*state, host, 0, std::string_view("#:Qw#")));
  EXPECT_NEAR(x() - x1, -16.0, 0.1);

  // Declination: south 2 s, then north 2 s: the reversal loses the backlash.
  const double y0 = y();
  EXPECT_TRUE(SetGuideOutputs(*state, host, sim::kSouth));
  clock.sleepMs(2000);
  EXPECT_TRUE(SetGuideOutputs(*state, host, sim::kNorth));
  const double y1 = y();
  clock.sleepMs(2000);
  EXPECT_TRUE(SetGuideOutputs(*state, host, 0));
  EXPECT_NEAR(y1 - y0, 4.0 - mount.decBacklash / 2, 0.05);
  EXPECT_NEAR(y1 - y(), 4.0 - mount.decBacklash, 0.05);
}

TEST_F(Simulator, GoToByCoordinatesSlewsTheField) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  sim::Mount& mount = world->scene.mount;
  mount.driftXPerSecond = mount.driftYPerSecond = mount.periodicErrorAmplitude = 0;
  mount.decBacklash = 0;
  state->settings.telescopePort = '2';  // the telescope on camera port 1
  auto goTo = [&](std::string_view ra, std::string_view dec) {
    EXPECT_TRUE(SerialWrite(*state, host, 1, ra));
    EXPECT_TRUE(SerialWrite(*state, host, 1, dec));
    EXPECT_TRUE(SerialWrite(*state, host, 1, std::string_view("#:MS#")));
    return ReadSlewReply(*state, host);
  };
  // The texts as the telescope control sends them: the closing "#" left off.
  ASSERT_TRUE(goTo("#:Sr 05:35.0", "#:Sd +00*00"));
  mount.advanceTo(clock.nowMs);
  const double x0 = mount.shiftX(clock.nowMs), y0 = mount.shiftY(clock.nowMs);
  EXPECT_NEAR(x0, 0, 1e-9);  // the first GoTo finds the scene's own field
  // One minute of RA east at the equator is 900 arcseconds; two arcminutes north is 120.
  ASSERT_TRUE(goTo("#:Sr 05:36.0", "#:Sd +00*02"));
  EXPECT_NEAR(mount.shiftX(clock.nowMs) - x0, 450, 1e-6);
  EXPECT_NEAR(mount.shiftY(clock.nowMs) - y0, -60, 1e-6);
  EXPECT_EQ(world->serial.gotoCount, 2);
}

TEST_F(Simulator, TelescopeAndAdaptiveOpticsAnswer) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  EXPECT_TRUE(SerialWrite(*state, host, 1, std::string_view("#:LM 0031#")));
  EXPECT_TRUE(SerialWrite(*state, host, 1, std::string_view("#:LI#")));
  EXPECT_TRUE(SerialRead(*state, host, 1, 33));
  EXPECT_EQ(state->camera.telescopeReply, "M31 MAG 5.0");
  EXPECT_TRUE(SerialWrite(*state, host, 1, std::string_view("#:MS#")));
  state->settings.telescopePort = '2';
  state->camera.secondTelescopeReply = "x";
  EXPECT_TRUE(ReadSlewReply(*state, host));
  EXPECT_EQ(state->camera.secondTelescopeReply, "");

  state->settings.aoPortChoice = 0;
  EXPECT_TRUE(WriteAoPacket(*state, host, clock, "H"));
  EXPECT_TRUE(WriteAoPacket(*state, host, clock, "GT00010"));
  EXPECT_EQ(world->serial.aoEastWest, 10);
  EXPECT_NEAR(world->scene.aoShiftX, 0.5, 1e-9);
  EXPECT_TRUE(WriteAoPacket(*state, host, clock, "K"));
  EXPECT_EQ(world->serial.aoEastWest, 0);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Simulator, FaultKnobsGiveTheMessagesAndNoCrash) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  struct Knob {
    sim::SimFaults faults;
    std::string message;
  };
  const Knob knobs[] = {
      {{true, false, false, false, false}, "Could not write QelIO Output - try rebooting USB device"},
      {{false, true, false, false, false}, "Error 5 trying to read QelIO data from USB\n"},
      {{false, false, true, false, false}, "Error 5 trying to read QelIO data from USB\n"},
      {{false, false, false, true, false}, "Error 110 trying to read QelIO data from USB\n"},
      {{false, false, false, false, true}, "Error 19 trying to read QelIO data from USB\n"},
  };
  for (const auto& knob : knobs) {
    SCOPED_TRACE(knob.message);
    host.boxes.clear();
    world->cameraFaults = knob.faults;
    EXPECT_FALSE(Expose(2, 100));
    // A failed write is followed by a read that gets nothing: both are reported.
    EXPECT_TRUE(std::any_of(host.boxes.begin(), host.boxes.end(),
                            [&](const MessageBoxRequest& b) { return b.text == knob.message; }));
    EXPECT_FALSE(UpdateCooler(*state, host));
  }
  // Back to normal, the camera works again.
  world->cameraFaults = {};
  host.boxes.clear();
  EXPECT_TRUE(Expose(2, 100));
  EXPECT_TRUE(host.boxes.empty());

  // Wheel faults.
  world->wheelFaults.failWrite = true;
  EXPECT_FALSE(FilterNext(*state, host, clock));
  EXPECT_EQ(host.boxes.front().text, "Could not write QelIO Output - try rebooting USB device");
}

TEST_F(Simulator, CameraAnswersOnlyBlocksOfTheirCommandsLength) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  CameraTransport& camera = *state->camera.link.camera;
  CommandBlock block{};
  const std::size_t delayed = BuildMainReadout(block, {0, 0, 64, 64, 2, 2}, 10);
  std::vector<std::uint8_t> reply(32 * 32 * 2);
  // A delayed read-out cut to the immediate read-out's 18 bytes gets no frame.
  ASSERT_TRUE(camera.write({block.data(), 18}).ok);
  EXPECT_FALSE(camera.read(reply, 100).ok);
  ASSERT_TRUE(camera.write({block.data(), delayed}).ok);
  EXPECT_TRUE(camera.read(reply, 100).ok);
  // A serial read is 8 bytes whatever it asks for; a cooler block with data is not a cooler block.
  BuildSerialRead(block, 0, 4);
  ASSERT_TRUE(camera.write({block.data(), 12}).ok);
  std::vector<std::uint8_t> four(4);
  EXPECT_FALSE(camera.read(four, 100).ok);
  BuildReadCooler(block);
  block[6] = 2;
  ASSERT_TRUE(camera.write({block.data(), 8}).ok);
  std::vector<std::uint8_t> three(3);
  EXPECT_FALSE(camera.read(three, 100).ok);
}

TEST_F(Simulator, BuiltInTypeFindsACameraOfTheSensorItReads) {
  MakeSimCamera(kBuiltInCameraType);
  ASSERT_TRUE(ConnectSimCamera());
  EXPECT_EQ(state->camera.model.name, "K1C");
  EXPECT_EQ(world->model.sensorWidth, state->camera.model.sensorWidth);
  EXPECT_EQ(world->model.sensorHeight, state->camera.model.sensorHeight);
  ASSERT_TRUE(Expose(1, 500));
  const std::uint32_t now = clock.nowMs;
  const double x = world->scene.starX(BrightStar(), now), y = world->scene.starY(BrightStar(), now);
  EXPECT_GT(PeakNear(state->images.workImage, 1392, 1040, x, y), Work(10, 10) + 3000);
}

TEST_F(Simulator, UnpluggedCameraIsNotFound) {
  MakeSimCamera(1);
  world->cameraFaults.unplugged = true;
  EXPECT_FALSE(ConnectSimCamera());
  ASSERT_GE(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes.front().text, "USB QelIO device not found");
  EXPECT_EQ(host.boxes.back().text, "Sorry, No camera found on USB");
}

TEST_F(Simulator, SceneRepeatsForTheSameSeed) {
  sim::SkyScene a(3, 400, 300), b(3, 400, 300);
  std::vector<std::uint16_t> fa(200 * 150), fb(200 * 150);
  a.renderMain({0, 0, 400, 300, 2, 2}, 1000, 0, fa.data());
  b.renderMain({0, 0, 400, 300, 2, 2}, 1000, 0, fb.data());
  EXPECT_EQ(fa, fb);
  ASSERT_EQ(a.stars().size(), b.stars().size());
  EXPECT_EQ(a.stars()[5].x, b.stars()[5].x);
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST_F(Simulator, FilterWheelOnTheComputersPort) {
  MakeSimCamera(1);
  world->wheelPresent = false;
  ASSERT_TRUE(ConnectSimCamera());
  state->camera.link.bus = std::move(bus);
  state->settings.aoPortChoice = 3;
  state->camera.filterPosition = 6;
  EXPECT_TRUE(SelectFilter(*state, host, clock));
  EXPECT_EQ(world->wheel.position, 6);
  EXPECT_TRUE(state->camera.link.pcSerialOpen);
}

TEST_F(Simulator, NoComputerPortIsReported) {
  MakeSimCamera(1);
  ASSERT_TRUE(ConnectSimCamera());
  state->camera.link.filterWheelAttached = false;
  state->settings.aoPortChoice = 3;  // and no bus that has a computer port
  EXPECT_FALSE(SelectFilter(*state, host, clock));
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.back().text, "Open Communications Failed");
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST(SimMount, DriftAndPeriodicErrorMoveTheImage) {
  sim::Mount mount;
  mount.driftXPerSecond = 0;
  mount.driftYPerSecond = -0.02;
  mount.periodicErrorAmplitude = 1.5;
  mount.periodicErrorPeriodS = 480;
  mount.advanceTo(1000);
  mount.advanceTo(121'000);  // a quarter period later
  EXPECT_NEAR(mount.shiftX(121'000), 1.5, 1e-9);
  EXPECT_NEAR(mount.shiftY(121'000), -2.4, 1e-9);
  mount.advanceTo(241'000);
  EXPECT_NEAR(mount.shiftX(241'000), 0.0, 1e-9);
}

}  // namespace
}  // namespace qv
