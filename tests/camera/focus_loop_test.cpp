// The focus analysis on made-up boxes, autochange, the exposure settings'
// ranges and the focus loop on the simulated camera.

#include "camera/focus_loop.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "camera/camera_commands.h"
#include "camera/camera_dialog_fields.h"
#include "camera/exposure_run.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "sim/sim_world.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/test_clock.h"

namespace qv {
namespace {

using Box = std::vector<std::uint16_t>;

// Sky of 1000 (bin 3) with a star three rows high whose middle row is
// `width` columns above half height.
Box StarBox(int centreColumn, int width, std::uint16_t peak) {
  Box box(kGuideBoxSize * kGuideBoxSize, 1000);
  for (int row = 59; row <= 61; ++row) {
    for (int c = centreColumn - width / 2; c <= centreColumn + width / 2; ++c) {
      const bool middle = c == centreColumn;
      box[row * kGuideBoxSize + c] = middle ? peak : static_cast<std::uint16_t>(peak - 1000);
    }
    // Shoulders below half height.
    box[row * kGuideBoxSize + centreColumn - width / 2 - 1] = 5000;
    box[row * kGuideBoxSize + centreColumn + width / 2 + 1] = 5000;
  }
  return box;
}

TEST(FocusAnalysis, WidthAtHalfHeightAboveTheSky) {
  const FocusAnalysis a = AnalyseFocusBox(StarBox(64, 7, 40000).data());
  EXPECT_EQ(a.background, 3);
  EXPECT_EQ(a.peak, 40000);
  EXPECT_EQ(a.peakX, 64);
  EXPECT_EQ(a.peakY, 60);  // the first row whose pixel above is as bright
  EXPECT_EQ(a.level, 768 + (40000 - 768) / 2);
  EXPECT_EQ(a.fwhm, 7);
  EXPECT_EQ(AnalyseFocusBox(StarBox(30, 3, 20000).data()).fwhm, 3);
}

TEST(FocusAnalysis, ASingleHotPixelIsNoPeakAndAFlatBoxKeepsTheWidth) {
  Box box = StarBox(64, 5, 30000);
  box[90 * kGuideBoxSize + 20] = 65000;  // the pixel above it is sky
  const FocusAnalysis a = AnalyseFocusBox(box.data());
  EXPECT_EQ(a.peak, 30000);
  EXPECT_EQ(a.fwhm, 5);
  const Box flat(kGuideBoxSize * kGuideBoxSize, 0);
  const FocusAnalysis b = AnalyseFocusBox(flat.data(), 40, 44);
  EXPECT_EQ(b.peak, 0);
  EXPECT_EQ(b.fwhm, 5);
}

TEST(FocusAnalysis, AutochangeDoublesHalvesAndStaysInRange) {
  EXPECT_EQ(AutochangeExposureMs(500, 31999), 1000u);
  EXPECT_EQ(AutochangeExposureMs(500, 32000), 500u);
  EXPECT_EQ(AutochangeExposureMs(500, 64000), 500u);
  EXPECT_EQ(AutochangeExposureMs(501, 64001), 250u);
  EXPECT_EQ(AutochangeExposureMs(1, 65535), 1u);
  EXPECT_EQ(AutochangeExposureMs(kLongestExposureMs, 100), kLongestExposureMs);

  ExposureSettings s;
  SetExposureFromMs(s, 10);
  EXPECT_EQ(s.range, 'q');
  EXPECT_EQ(s.value, 10);
  SetExposureFromMs(s, 50);
  EXPECT_EQ(s.range, 'h');
  EXPECT_EQ(s.value, 5);
  SetExposureFromMs(s, 1000);
  EXPECT_EQ(s.range, 't');
  EXPECT_EQ(s.value, 10);
  SetExposureFromMs(s, 120'000);
  EXPECT_EQ(s.range, 's');
  EXPECT_EQ(s.value, 120);
  SetExposureFromMs(s, 120'001);
  EXPECT_EQ(s.range, 'm');
  EXPECT_EQ(s.value, 2);
}

TEST(ExposureSettingsRanges, RangesMaximaAndRefusedValues) {
  ExposureSettings s;
  EXPECT_EQ(ExposureMs(s), 1000u);
  ChooseRange(s, 'm');
  EXPECT_EQ(s.maximum, 90);
  EXPECT_EQ(s.value, 1);
  EXPECT_FALSE(SetExposureValue(s, 91));
  EXPECT_FALSE(SetExposureValue(s, 0));
  EXPECT_FALSE(SetExposureValue(s, -5));
  EXPECT_EQ(s.value, 1);
  ChooseRange(s, 'q');
  EXPECT_EQ(s.maximum, 500);
  EXPECT_EQ(s.value, 5);
  EXPECT_TRUE(SetExposureValue(s, 500));
  EXPECT_EQ(RangeUnitMs('x'), 1000u);
  EXPECT_FALSE(SetSeriesCount(s, 10000));
  EXPECT_FALSE(SetSeriesCount(s, -1));
  EXPECT_TRUE(SetSeriesCount(s, 9999));
  EXPECT_FALSE(SetPause(s, 21));
  EXPECT_FALSE(SetFocusStretch(s, 51));
  EXPECT_FALSE(SetFocusStretch(s, 0));
  ChooseRange(s, 's');
  EXPECT_TRUE(SetExposureValue(s, 12));
  EXPECT_EQ(ProgressSteps(s), 6);
  EXPECT_TRUE(SetExposureValue(s, 4));
  EXPECT_EQ(ProgressSteps(s), 2);
  EXPECT_TRUE(SetExposureValue(s, 13));
  EXPECT_EQ(ProgressSteps(s), 20);
  ChooseRange(s, 't');
  EXPECT_TRUE(SetExposureValue(s, 100));
  EXPECT_EQ(ProgressSteps(s), 2);
  EXPECT_FALSE(FocusLoopAllowed(s));
  ChooseRange(s, 'm');
  EXPECT_FALSE(FocusLoopAllowed(s));
}

TEST(CameraDialogTexts, ModeCoolingAndFields) {
  ExposureSettings s;
  EXPECT_EQ(CameraModeText(s), "Single Image");
  s.count = 3;
  EXPECT_EQ(CameraModeText(s), "Auto Merging");
  s.continuous = true;
  EXPECT_EQ(CameraModeText(s), "Series Imaging");
  s.count = 1;
  EXPECT_EQ(CameraModeText(s), "Continuous Imaging");
  EXPECT_EQ(TemperatureText(5), " 5");
  EXPECT_EQ(TemperatureText(-12), "-12");
  auto state = std::make_unique<ProgramState>();
  state->settings.maximumCooling = true;
  state->camera.filterPosition = 2;
  state->camera.firmware.w1 = 2;
  state->camera.firmware.w0 = 12;
  const auto fields = CameraDialogFields(*state);
  auto field = [&](const std::string& name) {
    for (const auto& [n, v] : fields) {
      if (n == name) return v;
    }
    return std::string("?");
  };
  EXPECT_EQ(field("cooling-mode"), "Max Cooling Set");
  EXPECT_EQ(field("filter-name"), "Filter 2");
  EXPECT_EQ(field("firmware"), "2.12");
  EXPECT_EQ(field("range"), "Seconds");
}

TEST(FocusLoop, RunsOnTheSimulatorUntilTheLeftButton) {
  test::TempDir dir;
  auto state = std::make_unique<ProgramState>();
  test::RecordingHost host;
  test::TestClock clock;
  state->paths.root = dir.str();
  const std::string trace = dir.str() + "/usb.log";
  state->camera.link.traceUsbPath = trace;
  state->settings.ShowInterfaceDetails = false;
  state->settings.cameraType = 1;
  EXPECT_EQ(SetCameraType(state->settings, state->camera, state->geometry, state->paths), SettingsStatus::Ok);
  auto world = std::make_shared<sim::SimWorld>(clock, 1, 7);
  auto bus = sim::MakeSimBus(world);
  ASSERT_TRUE(ConnectCamera(*state, *bus, host, clock));
  ExposureSettings& s = state->camera.exposure;
  ChooseRange(s, 'q');
  s.value = 1;
  s.autochange = true;
  int frames = 0;
  std::vector<std::uint32_t> exposures;
  FocusOperation loop(*state, host, [&](const FocusAnalysis&) { exposures.push_back(ExposureMs(s)); });
  WakeTime wake = loop.start(clock.nowMs);
  while (wake && frames < 5) {
    clock.nowMs = std::max(clock.nowMs, *wake);
    if (exposures.size() == 4) loop.input(OperationInput::LeftButtonPress);
    wake = loop.step(clock.nowMs);
    ++frames;
  }
  EXPECT_FALSE(wake);
  // A faint sky doubles the exposure from 1 ms each frame; 16 ms is written
  // back as one hundredth.
  EXPECT_EQ(exposures, (std::vector<std::uint32_t>{2, 4, 8, 10}));
  EXPECT_EQ(state->images.focusPreview, 1);
  EXPECT_FALSE(state->camera.exposureRunning);

  // A frame the computer times keeps sending the first clear step until its
  // exposure has passed, a step of the clock at a time.
  const auto clearsSent = [&trace] {
    std::ifstream in(trace);
    int n = 0;
    for (std::string line; std::getline(in, line);) n += line == "W camera 8: 40 01 08 00 00 00 00 00";
    return n;
  };
  const int before = clearsSent();
  ChooseRange(s, 's');
  s.value = 2;
  s.autochange = false;
  bool read = false;
  FocusOperation slow(*state, host, [&](const FocusAnalysis&) { read = true; });
  const std::uint32_t started = clock.nowMs;
  wake = slow.start(clock.nowMs);
  while (wake) {
    EXPECT_LE(MsUntil(*wake, clock.nowMs), 10u);
    clock.nowMs = std::max(clock.nowMs, *wake);
    if (read) slow.input(OperationInput::LeftButtonPress);
    wake = slow.step(clock.nowMs);
  }
  EXPECT_GE(clock.nowMs - started, 2000u);
  EXPECT_GE(clearsSent() - before, 150);
  // Minutes do not start the loop.
  ChooseRange(s, 'm');
  FocusOperation none(*state, host);
  EXPECT_FALSE(none.start(clock.nowMs));
}

}  // namespace
}  // namespace qv
