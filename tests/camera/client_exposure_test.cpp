// Exposures asked for by another program: which read-out serves a requested
// frame, the one-frame run on the simulated camera, and the finished frame as
// the program's FITS image in memory.

#include "camera/client_exposure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "camera/camera_commands.h"
#include "camera/exposure_run.h"
#include "camera/filter_cooler.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "files/fits_file.h"
#include "files/fits_header.h"
#include "sim/sim_world.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/test_clock.h"

namespace qv {
namespace {

const CameraModel& K1C() {
  static const CameraModel model = *FindCameraModelByName("K1C");  // 1392 x 1040
  return model;
}

TEST(PlanReadout, WholeSensorAtEveryBinningAndTheHalfWindowAnywhere) {
  std::string why;
  for (int binning : {1, 2, 3, 4}) {
    const auto plan = PlanReadout(K1C(), {0, 0, 1392, 1040, binning}, why);
    ASSERT_TRUE(plan) << binning;
    EXPECT_EQ(plan->mode, binning == 1 ? kFullResolution : binning);
  }
  const auto window = PlanReadout(K1C(), {100, 60, 696, 520, 1}, why);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->mode, kUserSubFrame);
  // The last place the window fits is still on the sensor.
  EXPECT_TRUE(PlanReadout(K1C(), {696, 520, 696, 520, 1}, why));
}

TEST(PlanReadout, RefusesWhatTheCameraCannotReadAndSaysWhy) {
  struct Case {
    FrameRequest request;
    std::string reason;
  };
  const Case cases[] = {
      {{1000, 900, 696, 520, 1}, "not on the 1392 x 1040 sensor"},
      {{697, 0, 696, 520, 1}, "not on the 1392 x 1040 sensor"},
      {{-1, 0, 1392, 1040, 1}, "not on the 1392 x 1040 sensor"},
      {{0, 0, 500, 400, 1}, "or a 696 x 520 window"},
      {{0, 0, 1392, 1040, 5}, "bins 1x1 to 4x4"},
      {{100, 60, 696, 520, 2}, "a sub-frame is read unbinned"},
      // An odd origin would shift the colour cells under the frame's pattern.
      {{101, 60, 696, 520, 1}, "starts on an even column and row"},
      {{100, 61, 696, 520, 1}, "starts on an even column and row"},
  };
  for (const auto& c : cases) {
    std::string why;
    EXPECT_FALSE(PlanReadout(K1C(), c.request, why));
    EXPECT_NE(why.find(c.reason), std::string::npos) << why;
  }
}

TEST(PrepareSingleFrame, KeepsTheClientsTimeInTheFinestRangeThatReachesIt) {
  ProgramState state;
  state.camera.exposure.autosave = state.camera.exposure.continuous = state.camera.exposure.autoProcess = true;
  state.camera.exposure.count = 20;
  const ReadoutPlan full{kFullResolution, 0, 0};
  EXPECT_EQ(PrepareSingleFrame(state, full, 1), 1u);
  EXPECT_EQ(state.camera.exposure.range, 'q');
  EXPECT_EQ(PrepareSingleFrame(state, full, 1500), 1500u);
  EXPECT_EQ(state.camera.exposure.range, 'h');
  EXPECT_EQ(PrepareSingleFrame(state, full, 7300), 7300u);
  EXPECT_EQ(PrepareSingleFrame(state, full, 10'500), 11'000u);  // whole seconds from here
  EXPECT_EQ(PrepareSingleFrame(state, full, 0), 1u);
  EXPECT_EQ(PrepareSingleFrame(state, full, 200'000'000), kLongestExposureMs);
  const ExposureSettings& s = state.camera.exposure;
  EXPECT_EQ(s.count, 1);
  EXPECT_FALSE(s.autosave || s.continuous || s.autoProcess || s.countdown);
}

class ClientFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    state->paths.root = dir.str();
    state->settings.ShowInterfaceDetails = false;
    state->settings.cameraType = 1;
    ApplyCameraType(state->settings, state->camera, state->geometry);
    world = std::make_shared<sim::SimWorld>(clock, 1, 7);
    bus = sim::MakeSimBus(world);
    ASSERT_TRUE(ConnectCamera(*state, *bus, host, clock));
    ASSERT_TRUE(OpenCameraInterface(*state, host, clock));
  }
  // One frame as the driver takes it: stepped until the operation ends.
  std::uint32_t Take(const FrameRequest& request, std::uint32_t exposureMs) {
    std::string why;
    const auto plan = PlanReadout(state->camera.model, request, why);
    EXPECT_TRUE(plan) << why;
    const std::uint32_t ms = PrepareSingleFrame(*state, *plan, exposureMs);
    ExposureOperation run(*state, host, clock);
    WakeTime wake = run.start(clock.nowMs);
    while (wake) {
      clock.nowMs = std::max(clock.nowMs, *wake);
      wake = run.step(clock.nowMs);
    }
    EXPECT_EQ(run.framesRead(), 1);
    return ms;
  }
  std::string Card(const std::vector<std::uint8_t>& fits, std::string_view key) const {
    for (int i = 0; i < kFitsHeaderCards; ++i) {
      const std::string card(reinterpret_cast<const char*>(fits.data()) + i * kFitsCardBytes, kFitsCardBytes);
      std::string name(key);
      name.resize(8, ' ');
      if (card.compare(0, 8, name) == 0) return card;
    }
    return "";
  }

  test::TempDir dir;
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;
  test::TestClock clock;
  std::shared_ptr<sim::SimWorld> world;
  std::shared_ptr<UsbBus> bus;
  std::vector<std::uint8_t> image;
};

TEST_F(ClientFrame, TheHalfWindowIsReadWhereTheClientAskedForIt) {
  Take({100, 60, 696, 520, 1}, 200);
  EXPECT_EQ(world->lastWindow.x, 100);
  EXPECT_EQ(world->lastWindow.y, 60);
  EXPECT_EQ(world->lastWindow.width, 696);
  EXPECT_EQ(world->lastWindow.height, 520);
  FinishedFrameAsFits(*state, 200, FrameKind::Light, image);
  EXPECT_NE(Card(image, "NAXIS1").find(" 696"), std::string::npos);
}

TEST_F(ClientFrame, TheImageIsTheProgramsFileWithTheFrameKeywordsPaddedToBlocks) {
  const std::uint32_t ms = Take({0, 0, 1392, 1040, 1}, 1500);
  FinishedFrameAsFits(*state, ms, FrameKind::Dark, image);
  const std::size_t fileBytes = kFitsHeaderBytes + 1392u * 1040u * 2u;
  ASSERT_EQ(image.size() % kFitsBlockBytes, 0u);
  ASSERT_GE(image.size(), fileBytes);
  for (std::size_t i = fileBytes; i < image.size(); ++i) ASSERT_EQ(image[i], 0) << i;

  // The same bytes the program's FITS writer puts in a file.
  const std::string path = (dir.path() / "frame.fit").string();
  ASSERT_EQ(WriteFitsFile(*state, host, path, state->images.workImage), FitsWriteResult::Ok);
  const auto written = test::ReadBytes(path);
  ASSERT_EQ(written.size(), fileBytes);
  EXPECT_TRUE(std::equal(written.begin(), written.end(), image.begin()));

  EXPECT_NE(Card(image, "EXPTIME").find("1.5"), std::string::npos) << Card(image, "EXPTIME");
  EXPECT_NE(Card(image, "BAYERPAT").find("'RGGB"), std::string::npos);
  EXPECT_NE(Card(image, "IMAGETYP").find("Dark"), std::string::npos);
  EXPECT_NE(Card(image, "XBINNING").find(" 1"), std::string::npos);
}

TEST_F(ClientFrame, BinnedFramesSayTheirBinningAndCarryNoColourPattern) {
  Take({0, 0, 1392, 1040, 2}, 100);
  FinishedFrameAsFits(*state, 100, FrameKind::Light, image);
  EXPECT_NE(Card(image, "NAXIS1").find(" 696"), std::string::npos);
  EXPECT_NE(Card(image, "XBINNING").find(" 2"), std::string::npos);
  EXPECT_EQ(Card(image, "BAYERPAT"), "");
  // The image's buffer is kept from frame to frame.
  const auto* data = image.data();
  Take({0, 0, 1392, 1040, 4}, 100);
  FinishedFrameAsFits(*state, 100, FrameKind::Light, image);
  EXPECT_EQ(image.data(), data);
}

// The camera and its wheel pulled out during a client's exposure: every
// device call the driver makes then fails with a message for the client,
// and none waits for ever or leaves the camera marked busy.
TEST_F(ClientFrame, ACameraThatVanishesFailsEveryCallWithAMessage) {
  std::string why;
  const auto plan = PlanReadout(state->camera.model, {0, 0, 1392, 1040, 1}, why);
  ASSERT_TRUE(plan) << why;
  PrepareSingleFrame(*state, *plan, 3000);
  ExposureOperation run(*state, host, clock);
  WakeTime wake = run.start(clock.nowMs);
  ASSERT_TRUE(wake);  // a 3 s exposure waits between its steps
  world->cameraFaults.unplugged = world->wheelFaults.unplugged = true;
  for (int steps = 0; wake && steps < 1000; ++steps) {
    clock.nowMs = std::max(clock.nowMs, *wake);
    wake = run.step(clock.nowMs);
  }
  EXPECT_FALSE(wake) << "the exposure ends";
  EXPECT_TRUE(run.framesRead() == 0 || run.readoutFailed());
  EXPECT_FALSE(state->camera.exposureRunning);
  EXPECT_FALSE(host.boxes.empty());

  const auto failsWithMessage = [&](const char* what, auto&& call) {
    host.boxes.clear();
    EXPECT_FALSE(call()) << what;
    EXPECT_FALSE(host.boxes.empty()) << what;
  };
  ASSERT_TRUE(state->camera.coolerAvailable);
  failsWithMessage("cooler", [&] { return UpdateCooler(*state, host); });
  failsWithMessage("guide outputs on", [&] { return SetGuideOutputs(*state, host, 4); });
  failsWithMessage("guide outputs off", [&] { return SetGuideOutputs(*state, host, 0); });
  state->camera.filterPosition = 2;
  failsWithMessage("filter wheel", [&] { return SelectFilter(*state, host, clock); });

  // The cooler monitor says so on its next look.
  CoolerMonitorOperation monitor(*state, host);
  state->camera.monitoring = false;
  const WakeTime look = monitor.start(clock.nowMs);
  ASSERT_TRUE(look);
  host.boxes.clear();
  clock.nowMs = *look;
  monitor.step(clock.nowMs);
  EXPECT_FALSE(host.boxes.empty());
  monitor.cancel();
}

}  // namespace
}  // namespace qv
