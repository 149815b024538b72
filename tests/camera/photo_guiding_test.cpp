// Guiding while the camera takes a photo, on the simulated camera, mount and
// AO unit with the virtual clock: the guider camera guiding in the exposure
// wait, the main camera correcting on each frame it reads, the lost star,
// the series that keeps guiding, and the camera dialog's two buttons.

#include "camera/photo_guiding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/run_operation.h"
#include "camera/camera_commands.h"
#include "camera/camera_dialog_fields.h"
#include "camera/exposure_run.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "guiding/guider_guiding.h"
#include "sim/sim_world.h"
#include "support/sim_camera_test.h"

namespace qv {
namespace {

constexpr int kGuiderColumns = 500, kGuiderRows = 290;

class PhotoGuidingSim : public test::SimCameraTest {
 protected:
  void SetUp() override {
    state->settings.guideStarMaskRadius = 8;
    state->settings.telescopeGuiding = 'b';
    state->settings.ignoreSmallDrift = false;
    MakeSimCamera();
    ASSERT_TRUE(ConnectSimCamera());
    ASSERT_TRUE(OpenCameraInterface(*state, host, clock));
    state->guiding.telescopeInitialised = true;  // no settings file to reload
    // No Dec backlash; the guide rate is 2 pixels a second on both cameras.
    DriftingSky();
    world->scene.mount.decBacklash = 0;
    state->settings.raRate = state->settings.decRate = 2;
    state->settings.guiderRaRate = state->settings.guiderDecRate = 2;
    state->guiding.guiderExposure = {'s', 1};
  }

  double StarX() const { return world->scene.starX(BrightStar(), clock.nowMs); }
  double StarY() const { return world->scene.starY(BrightStar(), clock.nowMs); }

  void PickGuiderStar(const sim::Star& star) {
    state->guiding.guiderStar = {
        static_cast<int>(std::lround(world->scene.starX(star, clock.nowMs))) -
            world->scene.guiderOriginX(kGuiderColumns),
        static_cast<int>(std::lround(world->scene.starY(star, clock.nowMs))) - world->scene.guiderOriginY(kGuiderRows),
        0, 0};
    state->guiding.guiderStarChosen = true;
  }
  void PickMainStar() {
    state->guiding.guideStar = BrightStarNow();
    state->guiding.guideStarChosen = true;
  }
  void Photo(char range, int value, int count, int mode = kFullResolution) {
    ExposureSettings& s = state->camera.exposure;
    ChooseRange(s, range);
    EXPECT_TRUE(SetExposureValue(s, value));
    EXPECT_TRUE(SetSeriesCount(s, count));
    s.readoutMode = mode;
  }

  // Spread of a star's light round (x, y) in the work image: the root of
  // the second moments of the pixels standing above a fifth of its peak
  // (over the background), in pixels. A trail spreads it.
  double StarSpread(double x, double y, int radius) const {
    const int w = state->geometry.width;
    const std::uint16_t* p = state->images.workImage;
    const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(y));
    double background = 0;
    int n = 0;
    for (int i = -radius; i <= radius; ++i) {  // the box's border
      for (const auto& [bx, by] : {std::pair{cx + i, cy - radius}, std::pair{cx + i, cy + radius},
                                   std::pair{cx - radius, cy + i}, std::pair{cx + radius, cy + i}}) {
        background += p[by * w + bx];
        ++n;
      }
    }
    background /= n;
    double peak = 0;
    for (int yy = cy - radius; yy <= cy + radius; ++yy) {
      for (int xx = cx - radius; xx <= cx + radius; ++xx) peak = std::max(peak, p[yy * w + xx] - background);
    }
    double s = 0, sx = 0, sy = 0, sxx = 0, syy = 0;
    for (int yy = cy - radius; yy <= cy + radius; ++yy) {
      for (int xx = cx - radius; xx <= cx + radius; ++xx) {
        const double above = p[yy * w + xx] - background;
        const double v = above > peak / 5 ? above : 0.0;
        s += v;
        sx += v * xx;
        sy += v * yy;
        sxx += v * xx * xx;
        syy += v * yy * yy;
      }
    }
    const double mx = sx / s, my = sy / s;
    return std::sqrt(sxx / s - mx * mx + syy / s - my * my);
  }
};

TEST_F(PhotoGuidingSim, GuiderGuidingHoldsTheStarThroughAMinuteLongPhoto) {
  // The same minute twice from the same start: unguided, then guided.
  auto take = [&](PhotoGuiding guiding, double& spread, double& drift) {
    PickGuiderStar(BrightStar());
    const double x0 = StarX(), y0 = StarY();
    Photo('s', 60, 1);
    state->guiding.photoGuiding = guiding;
    ExposureOperation run(*state, host, clock);
    RunOperation(run, clock, host);
    EXPECT_EQ(run.framesRead(), 1);
    EXPECT_FALSE(run.guidingFailed());
    EXPECT_FALSE(run.guideStarLost());
    drift = std::hypot(StarX() - x0, StarY() - y0);
    spread = StarSpread((x0 + StarX()) / 2, (y0 + StarY()) / 2, 12);
    return RmsErrorPixels(run.guidedFrames());
  };
  double unguidedSpread = 0, unguidedDrift = 0, guidedSpread = 0, guidedDrift = 0;
  take(PhotoGuiding::None, unguidedSpread, unguidedDrift);
  const double rms = take(PhotoGuiding::GuiderCamera, guidedSpread, guidedDrift);
  EXPECT_LT(rms, 1.0);
  EXPECT_LT(guidedDrift, 1.0);
  EXPECT_GT(unguidedDrift, 3.0);
  EXPECT_LT(guidedSpread, unguidedSpread * 0.7);
  // A single photo's guiding ends with it: no relay is left held.
  EXPECT_EQ(state->camera.guideOutputs, 0);
  EXPECT_EQ(state->guiding.photoGuiding, PhotoGuiding::None);
}

TEST_F(PhotoGuidingSim, BinnedGuiderFramesGuideThePhotoToo) {
  state->settings.guiderBin2x2 = true;
  PickGuiderStar(BrightStar());
  const double x0 = StarX(), y0 = StarY();
  Photo('s', 30, 1, kBinned4x4);
  state->guiding.photoGuiding = PhotoGuiding::GuiderCamera;
  ExposureOperation run(*state, host, clock);
  RunOperation(run, clock, host);
  EXPECT_GT(run.guidedFrames().size(), 10u);
  EXPECT_LT(RmsErrorPixels(run.guidedFrames()), 1.0);
  EXPECT_LT(std::hypot(StarX() - x0, StarY() - y0), 1.0);
}

TEST_F(PhotoGuidingSim, ALostStarEndsTheExposureEarlyWithTheMessage) {
  // The star nearest the guider frame's right edge, knocked toward it
  // halfway through: find centre follows it until its box leaves the frame.
  constexpr int kRadius = 16;
  state->settings.guideStarMaskRadius = kRadius;
  const sim::Star* edge = nullptr;
  double edgeX = 0;
  for (const sim::Star& s : world->scene.stars()) {
    const double gx = world->scene.starX(s, clock.nowMs) - world->scene.guiderOriginX(kGuiderColumns);
    const double gy = world->scene.starY(s, clock.nowMs) - world->scene.guiderOriginY(kGuiderRows);
    if (gx > edgeX && gx < kGuiderColumns - kRadius - 1 && gy > kRadius && gy < kGuiderRows - kRadius &&
        s.flux > 1000) {
      edge = &s;
      edgeX = gx;
    }
  }
  ASSERT_NE(edge, nullptr);
  ASSERT_GT(edgeX, kGuiderColumns - 2 * kRadius);
  world->scene.mount.driftXPerSecond = world->scene.mount.periodicErrorAmplitude = 0;
  auto mean = [&](bool knock) {
    PickGuiderStar(*edge);
    Photo('s', 30, 1);
    state->guiding.photoGuiding = PhotoGuiding::GuiderCamera;
    ExposureOperation run(*state, host, clock);
    const std::uint32_t mid = clock.nowMs + 15'000;
    WakeTime wake = run.start(clock.nowMs);
    while (wake) {
      clock.nowMs = std::max(clock.nowMs, *wake);
      if (knock && MsUntil(mid, clock.nowMs) == 0) {
        world->scene.mount.nudge(kGuiderColumns - 10 - edgeX, 0);
        knock = false;
      }
      wake = run.step(clock.nowMs);
    }
    EXPECT_EQ(run.framesRead(), 1);
    double sum = 0;
    for (int i = 0; i < state->geometry.pixelCount; ++i) sum += state->images.workImage[i];
    return std::pair{sum / state->geometry.pixelCount, run.guideStarLost()};
  };
  const auto [full, fullLost] = mean(false);
  EXPECT_FALSE(fullLost);
  host.boxes.clear();
  const auto [cut, cutLost] = mean(true);
  EXPECT_TRUE(cutLost);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.front().text, "Find centre failed - outside image area");
  // Read out early: less sky and dark than the whole exposure gathered.
  EXPECT_LT(cut - 1000, (full - 1000) * 0.8);
  EXPECT_EQ(state->camera.guideOutputs, 0);
}

TEST_F(PhotoGuidingSim, ASeriesKeepsTheAoGuidingUntilItsLastFrame) {
  state->settings.guidanceMode = 'A';
  state->settings.aoPortChoice = 1;
  state->settings.aoSwapLeftRight = {'w', 'e'};
  state->settings.aoSwapUpDown = {'s', 'n'};
  state->settings.aoDefault1 = state->settings.aoDefault2 = 20;
  for (const int count : {1, 3}) {
    PickGuiderStar(BrightStar());
    PickMainStar();  // the series is stacked on it
    Photo('s', 10, count);
    state->guiding.photoGuiding = PhotoGuiding::GuiderCamera;
    ExposureOperation run(*state, host, clock);
    // Where the AO element stands as each frame is read: a series holds it
    // where guiding put it, a single photo has it back in the middle.
    std::vector<int> heldSteps;
    run.onFrameRead(
        [&] { heldSteps.push_back(std::abs(state->guiding.aoEastWest) + std::abs(state->guiding.aoNorthSouth)); });
    RunOperation(run, clock, host);
    ASSERT_EQ(run.framesRead(), count);
    for (int i = 0; i < count; ++i) {
      if (i + 1 < count) {
        EXPECT_GT(heldSteps[i], 0) << "frame " << i + 1;
      } else {
        EXPECT_EQ(heldSteps[i], 0) << "frame " << i + 1;
      }
    }
    // The guided frames run on across the series, about one a second.
    EXPECT_GT(run.guidedFrames().size(), static_cast<std::size_t>(count * 6));
    EXPECT_EQ(state->guiding.aoEastWest, 0);
    EXPECT_EQ(state->guiding.aoNorthSouth, 0);
  }
}

TEST_F(PhotoGuidingSim, MainCameraCorrectsOnEachFrameOfAContinuousRun) {
  world->scene.mount.periodicErrorAmplitude = 0;
  world->scene.mount.driftXPerSecond = 0.5;
  auto lastDrift = [&](PhotoGuiding guiding) {
    PickMainStar();
    const double x0 = StarX(), y0 = StarY();
    Photo('s', 5, 6, kFullResolution);
    state->camera.exposure.continuous = true;
    state->guiding.photoGuiding = guiding;
    ExposureOperation run(*state, host, clock);
    RunOperation(run, clock, host);
    EXPECT_EQ(run.framesRead(), 6);
    EXPECT_EQ(run.guidedFrames().size(), guiding == PhotoGuiding::None ? 0u : 6u);
    return std::hypot(StarX() - x0, StarY() - y0);
  };
  const double unguided = lastDrift(PhotoGuiding::None);
  const double guided = lastDrift(PhotoGuiding::MainCamera);
  // Six frames of 5 s and their 2 s gaps at half a pixel a second: the
  // unguided star goes 20 pixels; guided, each frame takes back the drift
  // it saw, leaving about one frame's worth.
  EXPECT_GT(unguided, 15.0);
  EXPECT_LT(guided, unguided / 3);
  EXPECT_EQ(state->camera.guideOutputs, 0);
}

TEST_F(PhotoGuidingSim, GuidingThatCannotStartTakesNothingAndEndsTheRun) {
  Photo('s', 5, 3);
  state->camera.exposure.continuous = true;
  state->guiding.photoGuiding = PhotoGuiding::GuiderCamera;  // no guider star
  ExposureOperation run(*state, host, clock);
  RunOperation(run, clock, host);
  EXPECT_TRUE(run.guidingFailed());
  EXPECT_EQ(run.framesRead(), 0);
  EXPECT_FALSE(state->camera.exposure.continuous);
  EXPECT_FALSE(state->camera.exposureRunning);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.back().text, kNoGuideStar);
}

TEST_F(PhotoGuidingSim, DialogButtonsWhileTheGuiderCameraGuidesOnItsOwn) {
  PickGuiderStar(BrightStar());
  ASSERT_TRUE(GuiderSetUpForGuiding(*state));
  GuiderGuidingOperation external(*state, host, clock, {.exposureMs = 500});
  ASSERT_TRUE(external.start(clock.nowMs));
  EXPECT_EQ(GuiderStatusText(*state), "Already Autoguiding");
  EXPECT_FALSE(PressAutoguidePhoto(*state, host));
  EXPECT_EQ(host.boxes.back().text, kAlreadyGuidingExternally);
  EXPECT_FALSE(PressGoToAutoguider(*state, host));
  EXPECT_EQ(state->guiding.photoGuiding, PhotoGuiding::None);
  EXPECT_FALSE(state->guiding.goToAutoguider);
  external.cancel();

  EXPECT_EQ(GuiderStatusText(*state), "Guider Camera available");
  EXPECT_TRUE(PressAutoguidePhoto(*state, host));
  EXPECT_EQ(state->guiding.photoGuiding, PhotoGuiding::GuiderCamera);
  // "Go to Autoguider ": the dialog closes with its result and the window
  // opens the guider camera, once.
  EXPECT_TRUE(PressGoToAutoguider(*state, host));
  EXPECT_EQ(CommandAfterCameraDialog(*state, kGoToAutoguiderResult), CommandId::AutoGuiderCamera);
  EXPECT_EQ(CommandAfterCameraDialog(*state, kGoToAutoguiderResult), std::nullopt);
  EXPECT_EQ(state->guiding.photoGuiding, PhotoGuiding::None);
}

TEST_F(PhotoGuidingSim, AutoguidePhotoWithoutAGuiderStarTakesAPlainPhoto) {
  EXPECT_FALSE(GuiderSetUpForGuiding(*state));
  EXPECT_TRUE(PressAutoguidePhoto(*state, host));
  EXPECT_EQ(state->guiding.photoGuiding, PhotoGuiding::None);
  EXPECT_TRUE(host.boxes.empty());
}

}  // namespace
}  // namespace qv
