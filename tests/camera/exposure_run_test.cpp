// Exposure runs on the simulated camera and the virtual clock: single frames
// of each range, averaged, summed and stacked series, continuous runs,
// cancels, the pause, the automatic corrections and the autosave.

#include "camera/exposure_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "app/mouse_modes.h"
#include "app/settings_file.h"
#include "camera/camera_commands.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "files/autosave.h"
#include "sim/sim_world.h"
#include "support/sim_camera_test.h"

namespace qv {
namespace {

using Frame = std::vector<std::uint16_t>;

class ExposureRun : public test::SimCameraTest {
 protected:
  void SetUp() override {
    state->settings.guideStarMaskRadius = 8;
    MakeSimCamera();
    ASSERT_TRUE(ConnectSimCamera());
    ASSERT_TRUE(OpenCameraInterface(*state, host, clock));
    HoldMountStill();
  }
  ExposureSettings& settings() { return state->camera.exposure; }

  // Runs the operation as the window's timer would, pressing a key once the
  // clock reaches `pressAtMs` (relative to the start).
  void Run(std::int64_t pressAtMs = -1) {
    RunPressing(pressAtMs >= 0 ? std::vector<std::uint32_t>{static_cast<std::uint32_t>(pressAtMs)}
                               : std::vector<std::uint32_t>{});
  }
  // The same with a key press at each of `pressesAtMs`, handed over when it
  // is made, as the window does; `onPress` runs right after each.
  void RunPressing(std::vector<std::uint32_t> pressesAtMs, const std::function<void()>& onPress = {}) {
    ExposureOperation run(*state, host, clock, [this](const FrameReport& f) {
      reports.push_back(f);
      reportedAtMs.push_back(clock.nowMs - startMs);
    });
    run.onFrameRead([this] { raw.emplace_back(state->images.workImage, state->images.workImage + Pixels()); });
    startMs = clock.nowMs;
    std::size_t next = 0;
    WakeTime wake = run.start(clock.nowMs);
    while (wake) {
      if (next < pressesAtMs.size() &&
          MsUntil(startMs + pressesAtMs[next], clock.nowMs) < MsUntil(*wake, clock.nowMs)) {
        clock.nowMs = std::max(clock.nowMs, startMs + pressesAtMs[next++]);
        run.input(OperationInput::KeyPress);
        if (onPress) onPress();
        if (const auto sooner = run.wakeForInput(clock.nowMs)) wake = std::min(*wake, *sooner);
        continue;
      }
      clock.nowMs = std::max(clock.nowMs, *wake);
      wake = run.step(clock.nowMs);
    }
    framesRead = run.framesRead();
    failed = run.readoutFailed();
    endedAtMs = clock.nowMs - startMs;
  }
  int Pixels() const { return state->geometry.pixelCount; }
  Frame Work() const { return Frame(state->images.workImage, state->images.workImage + Pixels()); }
  void PickBrightStar() { state->guiding.guideStar = BrightStarNow(); }
  std::uint64_t Mean(const Frame& f) const {
    std::uint64_t sum = 0;
    for (auto v : f) sum += v;
    return sum / f.size();
  }

  std::vector<FrameReport> reports;
  std::vector<std::uint32_t> reportedAtMs;  // from the start of the run
  std::vector<Frame> raw;
  std::uint32_t startMs = 0, endedAtMs = 0;
  int framesRead = 0;
  bool failed = false;
};

TEST_F(ExposureRun, OneFrameOfEachRangeReadsOnceAndLongerIsBrighter) {
  settings().readoutMode = kBinned2x2;
  std::uint64_t previousSky = 0;
  for (char range : {'q', 'h', 't', 's', 'm'}) {
    ChooseRange(settings(), range);
    if (range == 't') {
      EXPECT_TRUE(SetExposureValue(settings(), 50));  // 5 s waited out by the computer
    }
    if (range == 's') {
      EXPECT_TRUE(SetExposureValue(settings(), 10));
    }
    reports.clear();
    Run();
    ASSERT_EQ(reports.size(), 1u) << range;
    EXPECT_EQ(reports[0].exposureMs, ExposureMs(settings()));
    const std::uint64_t sky = reports[0].mean;
    EXPECT_GE(sky, previousSky) << range;
    previousSky = sky;
    EXPECT_EQ(settings().count, 0);
  }
  EXPECT_FALSE(state->camera.exposureRunning);
  EXPECT_EQ(host.waitCursorDepth, 0);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ExposureRun, ProgressOfTimedWaitsAndCaptions) {
  ChooseRange(settings(), 's');
  EXPECT_TRUE(SetExposureValue(settings(), 12));
  Run();
  // Six steps of 42, then the read-out at 20.
  EXPECT_EQ(host.progressPositions, (std::vector<int>{0, 42, 84, 126, 168, 210, 252, 20, 20}));
  EXPECT_EQ(host.progressCaptions[0], "EXPOSURE UNDERWAY");
  EXPECT_EQ(host.progressCaptions[1].rfind("READING Pell CAMERA", 0), 0u);
  host.progressPositions.clear();
  EXPECT_TRUE(SetExposureValue(settings(), 13));
  Run();
  EXPECT_EQ(host.progressPositions[1], 12);
  EXPECT_EQ(host.progressPositions.size(), 20u + 3u);
  EXPECT_EQ(ExposureCaption(3), "EXPOSURE UNDERWAY (Left - 3)");
}

TEST_F(ExposureRun, AveragedSeriesOfFourIsTheSumOfQuarters) {
  PickBrightStar();
  ChooseRange(settings(), 's');
  EXPECT_TRUE(SetExposureValue(settings(), 2));
  settings().count = 4;
  settings().average = true;
  Run();
  ASSERT_EQ(raw.size(), 4u);
  ASSERT_TRUE(host.boxes.empty());
  const Frame stack = Work();
  const int w = state->geometry.width;
  // The mount stands still, so every frame lands where the first did; row 0
  // and column 0 have no source inside the frame and keep the last frame.
  for (int i = 0; i < Pixels(); ++i) {
    const int x = i % w, y = i / w;
    const std::uint32_t expected =
        (x > 0 && y > 0) ? raw[0][i] / 4 + raw[1][i] / 4 + raw[2][i] / 4 + raw[3][i] / 4 : raw[3][i];
    ASSERT_EQ(stack[i], expected) << x << ',' << y;
  }
  EXPECT_EQ(reports.size(), 4u);
}

TEST_F(ExposureRun, SummedSeriesStopsAt65535) {
  PickBrightStar();
  ChooseRange(settings(), 's');
  EXPECT_TRUE(SetExposureValue(settings(), 20));
  settings().count = 3;
  Run();
  ASSERT_EQ(raw.size(), 3u);
  const Frame stack = Work();
  const int w = state->geometry.width;
  int clamped = 0;
  for (int i = w + 1; i < Pixels(); ++i) {
    if (i % w == 0) continue;
    const std::uint32_t sum = std::uint32_t{raw[0][i]} + raw[1][i] + raw[2][i];
    ASSERT_EQ(stack[i], std::min<std::uint32_t>(sum, 65535));
    clamped += sum > 65535;
  }
  EXPECT_GT(clamped, 0);
}

TEST_F(ExposureRun, AlternativeSlewAddsFramesMatchedByProfiles) {
  settings().alternativeSlew = true;
  // Bring the bright star into the profile window (columns 200 to 299, rows
  // 100 to 199).
  const auto& star = world->scene.stars()[0];
  world->scene.mount.nudge(250 - world->scene.starX(star, clock.nowMs), 150 - world->scene.starY(star, clock.nowMs));
  ChooseRange(settings(), 's');
  EXPECT_TRUE(SetExposureValue(settings(), 5));
  settings().count = 2;
  Run();
  ASSERT_TRUE(host.boxes.empty()) << host.boxes[0].text;
  ASSERT_EQ(raw.size(), 2u);
  EXPECT_EQ(state->guiding.tracking.offsetX, 0);
  EXPECT_EQ(state->guiding.tracking.offsetY, 0);
  // The mount stands still: the sum of the two frames, inside the frame.
  const int w = state->geometry.width;
  const Frame stack = Work();
  for (int i : {300 * w + 400, 600 * w + 900, 150 * w + 250}) {
    EXPECT_EQ(stack[i], std::min<std::uint32_t>(std::uint32_t{raw[0][i]} + raw[1][i], 65535));
  }
}

TEST_F(ExposureRun, StackedSeriesFollowsADriftingStar) {
  PickBrightStar();
  ChooseRange(settings(), 't');  // 500 ms: the star stays below the ceiling
  settings().count = 3;
  // The telescope drifts 4 pixels right and 2 up between frames.
  std::vector<StarPosition> found;
  ExposureOperation run(*state, host, clock, [&](const FrameReport&) {
    found.push_back(state->guiding.tracking.reference);
    world->scene.mount.nudge(4, -2);
  });
  run.onFrameRead([this] { raw.emplace_back(state->images.workImage, state->images.workImage + Pixels()); });
  WakeTime wake = run.start(clock.nowMs);
  while (wake) {
    clock.nowMs = std::max(clock.nowMs, *wake);
    wake = run.step(clock.nowMs);
  }
  ASSERT_EQ(run.framesRead(), 3);
  EXPECT_TRUE(host.boxes.empty());
  ASSERT_EQ(found.size(), 3u);
  for (int i = 1; i < 3; ++i) {
    EXPECT_NEAR(found[i].x - found[i - 1].x, 4, 1);
    EXPECT_NEAR(found[i].y - found[i - 1].y, -2, 1);
  }
  // The three images of the star fall on one another: the stack holds about
  // three times the star of the last frame above the sky.
  const int w = state->geometry.width;
  const std::size_t at = static_cast<std::size_t>(found[2].y) * w + found[2].x;
  const double sky = 1000;
  EXPECT_GT(Work()[at] - 3 * sky, 2.5 * (raw[2][at] - sky));
}

TEST_F(ExposureRun, LostStarEndsTheSeriesWithTheSumSoFar) {
  PickBrightStar();
  ChooseRange(settings(), 's');
  EXPECT_TRUE(SetExposureValue(settings(), 2));
  settings().count = 5;
  ExposureOperation run(*state, host, clock, [this](const FrameReport&) { world->scene.mount.nudge(60, 0); });
  WakeTime wake = run.start(clock.nowMs);
  std::vector<std::uint16_t> afterFirst;
  while (wake) {
    clock.nowMs = std::max(clock.nowMs, *wake);
    wake = run.step(clock.nowMs);
    if (afterFirst.empty() && run.framesRead() == 1) afterFirst = Work();
  }
  EXPECT_EQ(run.framesRead(), 2);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text.rfind("Sorry. Guide star lost.", 0), 0u);
  EXPECT_EQ(Work(), afterFirst);
  EXPECT_EQ(settings().count, 0);
}

TEST_F(ExposureRun, ContinuousWithOneFrameRunsUntilCancelled) {
  ChooseRange(settings(), 'h');
  settings().continuous = true;
  settings().autosave = true;
  Run(7'000);  // during the fourth frame's 2 s window
  EXPECT_EQ(framesRead, 4);
  ASSERT_EQ(reports.size(), 4u);
  for (const auto& r : reports) EXPECT_FALSE(r.savedFile.empty());
  EXPECT_NE(reports[0].savedFile, reports[3].savedFile);
  EXPECT_FALSE(state->camera.exposureRunning);
}

TEST_F(ExposureRun, ContinuousSeriesOfThreeEndsByItself) {
  ChooseRange(settings(), 'h');
  settings().continuous = true;
  settings().count = 3;
  settings().pause = 1;
  settings().pauseInMinutes = false;
  Run();
  EXPECT_EQ(framesRead, 3);
  // Only the first two frames have the pause, in sixteen steps of 16.
  int pauses = 0;
  for (const auto& caption : host.progressCaptions) pauses += caption == "Pause between exposures";
  EXPECT_EQ(pauses, 2);
  EXPECT_NE(std::find(host.progressPositions.begin(), host.progressPositions.end(), 256), host.progressPositions.end());
  EXPECT_EQ(host.rebuilds, 3);
}

TEST_F(ExposureRun, CancelDuringTheExposureSkipsTheReadout) {
  ChooseRange(settings(), 's');
  EXPECT_TRUE(SetExposureValue(settings(), 30));
  settings().count = 5;
  settings().autosave = true;
  // The click that cancels picks no guide star, and star picking is back
  // once the run is over.
  ASSERT_TRUE(TogglePickGuideStar(*state, host));
  RunPressing({10'000}, [this] { EXPECT_EQ(OnLeftClick(*state, host, 300, 300), ClickResult::Ignored); });
  EXPECT_EQ(state->mouse.starPickMode, 1);
  EXPECT_FALSE(state->guiding.guideStarChosen);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(framesRead, 0);
  EXPECT_EQ(settings().count, 0);
  EXPECT_EQ(host.rebuilds, 0);
  EXPECT_FALSE(std::filesystem::exists(AutosaveFilePath(*state, 1)));
  // The next run is not skipped.
  settings().count = 1;
  Run();
  EXPECT_EQ(framesRead, 1);
  EXPECT_TRUE(std::filesystem::exists(AutosaveFilePath(*state, 1)));
}

TEST_F(ExposureRun, CancelDuringAPlainWaitKeepsThatFrame) {
  ChooseRange(settings(), 't');
  EXPECT_TRUE(SetExposureValue(settings(), 50));  // not cancellable while waited
  settings().count = 3;
  PickBrightStar();
  Run(1'000);
  EXPECT_EQ(framesRead, 1);
  EXPECT_EQ(settings().count, 0);
  EXPECT_EQ(host.rebuilds, 1);
}

TEST_F(ExposureRun, APressEndsTheCountdownSecondTheWindowAfterAFrameAndThePauseAtOnce) {
  // A press in the third second of the countdown ends that second.
  settings().countdown = true;
  ChooseRange(settings(), 'h');
  RunPressing({2'500});
  ASSERT_EQ(reportedAtMs.size(), 1u);
  EXPECT_LT(reportedAtMs[0], 9'600u);
  EXPECT_EQ(host.beeps, 11);  // the press's own and the ten of the countdown

  // A press in the 2 s after a continuous frame takes no further frame, yet
  // the 20-minute pause is still waited; a press in the pause ends it then.
  settings().countdown = false;
  settings().continuous = true;
  settings().pause = 20;
  settings().pauseInMinutes = true;
  reportedAtMs.clear();
  host.progressCaptions.clear();
  RunPressing({1'000, 600'000});
  EXPECT_EQ(framesRead, 1);
  ASSERT_EQ(reportedAtMs.size(), 1u);
  ASSERT_LT(reportedAtMs[0], 1'000u);
  EXPECT_EQ(std::count(host.progressCaptions.begin(), host.progressCaptions.end(), "Pause between exposures"), 1);
  EXPECT_GE(endedAtMs, 600'000u);
  EXPECT_LT(endedAtMs, 600'100u);
}

TEST_F(ExposureRun, OpeningReadsTheSettingsUntilACameraIsFoundAndNotWhileTheMainCameraGuides) {
  // Main-camera guiding holds the sensor: refused with a message, nothing
  // changed.
  state->guiding.mainGuidingRunning = true;
  settings().count = 4;
  EXPECT_FALSE(OpenCameraInterface(*state, host, clock));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, kMainCameraGuiding);
  EXPECT_EQ(settings().count, 4);
  state->guiding.mainGuidingRunning = false;

  state->settings.raBacklash = 7;
  ASSERT_EQ(SaveSettings(state->settings, state->paths), SettingsStatus::Ok);
  state->settings.raBacklash = 3;
  ASSERT_TRUE(OpenCameraInterface(*state, host, clock));
  EXPECT_EQ(state->settings.raBacklash, 3);  // the camera is open: the file is not read
  // Without a camera (none on this test's bus) every opening reads the file,
  // and says so when it cannot.
  state->camera.link.cameraAttached = false;
  host.boxes.clear();
  EXPECT_FALSE(OpenCameraInterface(*state, host, clock));
  EXPECT_EQ(state->settings.raBacklash, 7);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_NE(host.boxes[0].number, 1);
  EXPECT_EQ(host.boxes.back().text, "Sorry, No camera found on USB");
  std::ofstream(SettingsFilePath(state->paths), std::ios::binary | std::ios::trunc) << "short";
  state->settings.raBacklash = 3;
  host.boxes.clear();
  EXPECT_FALSE(OpenCameraInterface(*state, host, clock));
  EXPECT_EQ(state->settings.raBacklash, 3);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes[0].number, 1);
  EXPECT_EQ(host.boxes[0].text, kNoSettingsWarning);
}

TEST_F(ExposureRun, AutosaveNamesAndObservationValues) {
  settings().autosave = true;
  ChooseRange(settings(), 's');
  EXPECT_TRUE(SetExposureValue(settings(), 10));
  Run();
  Run();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].savedFile, AutosaveFilePath(*state, 1));
  EXPECT_EQ(reports[1].savedFile, AutosaveFilePath(*state, 2));
  const auto bytes = test::ReadBytes(reports[1].savedFile);
  const std::string header(bytes.begin(), bytes.begin() + 2880 * 2);
  const std::time_t middle = state->files.exposureStart + (state->files.exposureEnd - state->files.exposureStart) / 2;
  const ObservationTime when = FormatObservationTime(middle);
  EXPECT_NE(header.find("DATE-OBS= '" + when.date + 'T' + when.time + "'"), std::string::npos);
  EXPECT_NE(header.find("TIME-OBS= '" + when.time), std::string::npos);
  EXPECT_NE(header.find("EXPTIME =    1.0000000000E+01"), std::string::npos)
      << header.substr(header.find("EXPTIME"), 80);
}

TEST_F(ExposureRun, TransferFailureStopsTheRunAndSavesNothing) {
  settings().autosave = true;
  ChooseRange(settings(), 'h');
  settings().continuous = true;
  ExposureOperation run(*state, host, clock, [this](const FrameReport& f) {
    reports.push_back(f);
    world->cameraFaults.unplugged = true;
  });
  WakeTime wake = run.start(clock.nowMs);
  while (wake) {
    clock.nowMs = std::max(clock.nowMs, *wake);
    wake = run.step(clock.nowMs);
  }
  EXPECT_TRUE(run.readoutFailed());
  EXPECT_EQ(run.framesRead(), 1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(AutosaveFilePath(*state, 1)));
  EXPECT_FALSE(std::filesystem::exists(AutosaveFilePath(*state, 2)));
  EXPECT_FALSE(host.boxes.empty());
  EXPECT_FALSE(state->camera.exposureRunning);

  // A clear the camera does not take: the frame is neither waited for nor
  // read, and the run stops there.
  world->cameraFaults.unplugged = false;
  world->cameraFaults.failWrite = true;
  settings().continuous = false;
  ChooseRange(settings(), 's');
  EXPECT_TRUE(SetExposureValue(settings(), 5));
  const std::size_t boxesBefore = host.boxes.size();
  reports.clear();
  Run();
  EXPECT_TRUE(failed);
  EXPECT_EQ(framesRead, 0);
  EXPECT_LT(endedAtMs, 5000u);
  EXPECT_GT(host.boxes.size(), boxesBefore);
  EXPECT_FALSE(std::filesystem::exists(AutosaveFilePath(*state, 2)));
  EXPECT_FALSE(state->camera.exposureRunning);
}

TEST_F(ExposureRun, DarkThenFlatAfterEachFrame) {
  const int n = Pixels();
  auto writeRaw = [&](const std::string& name, const Frame& pixels, const std::string& tag) {
    const std::string path = (dir.path() / name).string();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size() * 2));
    out.write((tag + std::string(10, ' ')).data(), 10);
    return path;
  };
  // The flat's mean area (rows 10 to 19) holds 2000, the rest 4000: dark
  // first gives (p - 100) / 2, flat first would give p / 2 - 100.
  Frame flat(static_cast<std::size_t>(n), 4000);
  const int w = state->geometry.width;
  std::fill(flat.begin() + 10 * w, flat.begin() + 20 * w, 2000);
  state->files.darkFramePath = writeRaw("dark", Frame(static_cast<std::size_t>(n), 100), "RAW 1     ");
  state->files.flatFieldPath = writeRaw("flat", flat, "FLATH  1");
  settings().autoDark = settings().autoFlat = true;
  ChooseRange(settings(), 's');
  EXPECT_TRUE(SetExposureValue(settings(), 5));
  Run();
  ASSERT_TRUE(host.boxes.empty()) << host.boxes[0].text;
  const Frame out = Work();
  for (int i : {100 * w + 50, 300 * w + 400, 500 * w + 700}) {
    EXPECT_NEAR(out[i], (raw[0][i] - 100) / 2.0, 1.0);
  }
  EXPECT_EQ(state->images.history.lines[0].view(), "Dark Frame Subtracted");
  EXPECT_EQ(state->images.history.lines[1].view(), "Flatfield Applied");
}

TEST_F(ExposureRun, AutoProcessingConvertsEachNewFrameToColour) {
  settings().autoProcess = true;
  settings().continuous = true;
  settings().count = 2;
  ChooseRange(settings(), 'h');
  std::vector<int> whenRead, whenDone;
  ExposureOperation run(*state, host, clock,
                        [&](const FrameReport&) { whenDone.push_back(state->images.colourConverted); });
  run.onFrameRead([&] { whenRead.push_back(state->images.colourConverted); });
  WakeTime wake = run.start(clock.nowMs);
  while (wake) {
    clock.nowMs = std::max(clock.nowMs, *wake);
    wake = run.step(clock.nowMs);
  }
  EXPECT_EQ(whenRead, (std::vector<int>{0, 0}));
  EXPECT_EQ(whenDone, (std::vector<int>{1, 1}));
}

TEST_F(ExposureRun, AnAutosaveFolderThatCannotBeWrittenKeepsTheFrame) {
  settings().autosave = true;
  ChooseRange(settings(), 'h');
  // A file where the folder should be.
  const std::filesystem::path folder = std::filesystem::path(AutosaveFilePath(*state, 1)).parent_path();
  std::filesystem::remove_all(folder);
  std::ofstream(folder.string()) << "not a folder";
  ASSERT_TRUE(std::filesystem::is_regular_file(folder));
  Run();
  EXPECT_EQ(framesRead, 1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].savedFile.empty());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Unable to create file, check disk space");
  EXPECT_EQ(Work(), raw[0]);
}

TEST_F(ExposureRun, CountdownBeepsTenTimesFirst) {
  settings().countdown = true;
  ChooseRange(settings(), 'h');
  Run();
  EXPECT_EQ(framesRead, 1);
  EXPECT_EQ(host.beeps, 10);
  EXPECT_EQ(host.progressCaptions[0], "EXPOSURE DELAY (Left - 10)");
  EXPECT_EQ(host.progressCaptions[9], "EXPOSURE DELAY (Left - 1)");
}

}  // namespace
}  // namespace qv
