// The guider dialog's frame loop and dark frame on the simulated camera, and
// stopping guiding work with a key.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/image_store.h"
#include "app/run_operation.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "guiding/guider_exposure.h"
#include "guiding/guider_frames.h"
#include "guiding/main_training.h"
#include "guiding/stop_on_key.h"
#include "sim/sim_world.h"
#include "support/sim_camera_test.h"

namespace qv {
namespace {

class GuiderFramesSim : public test::SimCameraTest {
 protected:
  void SetUp() override {
    MakeSimCamera();
    ASSERT_TRUE(ConnectSimCamera());
    state->guiding.guiderExposure = {'t', 5};
  }
  // Steps the operation on the test clock, pressing `press` after `frames` frames.
  int Run(GuiderFramesOperation& op, int frames, OperationInput press) {
    WakeTime wake = op.start(clock.nowMs);
    int steps = 0;
    while (wake && steps < 100) {
      clock.nowMs = std::max(clock.nowMs, *wake);
      if (op.frames() == frames) op.input(press);
      wake = op.step(clock.nowMs);
      ++steps;
    }
    return op.frames();
  }

};

TEST_F(GuiderFramesSim, FramesRunUntilALeftPressAndEachIsRendered) {
  int shown = 0;
  GuiderFramesOperation frames(*state, host, clock, [&] { ++shown; });
  EXPECT_EQ(Run(frames, 3, OperationInput::LeftButtonPress), 4);  // the frame under way is finished
  EXPECT_EQ(shown, 4);
  EXPECT_FALSE(frames.failed());
  const auto& picture = state->guiding.guiderDialog.picture;
  ASSERT_EQ(picture.size(), static_cast<std::size_t>(500 * 290));
  // The stars stand out of a dark background.
  EXPECT_EQ(*std::max_element(picture.begin(), picture.end()), 255);
  EXPECT_LT(std::count(picture.begin(), picture.end(), 0), static_cast<long>(picture.size()));
  // With the pause, a press during it ends the run without another frame.
  state->guiding.guiderDialog.image.pauseBetweenFrames = true;
  GuiderFramesOperation paused(*state, host, clock);
  EXPECT_EQ(Run(paused, 2, OperationInput::KeyPress), 2);
}

TEST_F(GuiderFramesSim, DarkFrameIsKeptAndThenSubtracted) {
  GuiderFramesOperation dark(*state, host, clock, {}, GuiderFramesOperation::Purpose::Dark);
  EXPECT_EQ(Run(dark, -1, OperationInput::KeyPress), 1);
  const GuiderDark& d = state->guiding.guiderDark;
  ASSERT_TRUE(d.taken);
  EXPECT_FALSE(d.apply);
  EXPECT_EQ(GuiderDarkText(d), " 5 tenth darkframe available");
  ASSERT_EQ(d.pixels.size(), static_cast<std::size_t>(ImageStore::kGuideColumns) * ImageStore::kGuideRows);
  const std::uint16_t* frame = state->images.guideImage;
  EXPECT_TRUE(std::equal(d.pixels.begin(), d.pixels.end(), frame));
  state->guiding.guiderDark.apply = true;
  GuiderFramesOperation light(*state, host, clock);
  Run(light, 0, OperationInput::KeyPress);
  // Each pixel is what is left above the dark, never below 0.
  std::size_t zero = 0;
  for (std::size_t i = 0; i < d.pixels.size(); ++i) zero += frame[i] == 0;
  EXPECT_GT(zero, d.pixels.size() / 10);
}

TEST_F(GuiderFramesSim, AKeyEndsMainTrainingAndKeepsTheSettings) {
  state->settings.telescopeGuiding = 'b';
  state->guiding.telescopeInitialised = true;
  const auto& star = world->scene.stars()[0];
  state->guiding.guideStar = {static_cast<int>(std::lround(world->scene.starX(star, clock.nowMs))),
                              static_cast<int>(std::lround(world->scene.starY(star, clock.nowMs))), 0, 0};
  state->guiding.guideStarChosen = true;
  const std::int16_t rate = state->settings.raRate;
  MainTrainingOperation training(*state, host, clock, 500);
  StopOnKey stoppable(training);
  WakeTime wake = stoppable.start(clock.nowMs);
  ASSERT_TRUE(wake);
  stoppable.input(OperationInput::LeftButtonPress);  // a click elsewhere goes on
  clock.nowMs = std::max(clock.nowMs, *wake);
  ASSERT_TRUE(stoppable.step(clock.nowMs));  // the first place measured, the first move made
  stoppable.input(OperationInput::KeyPress);
  EXPECT_FALSE(stoppable.step(clock.nowMs));
  EXPECT_FALSE(training.succeeded());
  EXPECT_EQ(state->settings.raRate, rate);
  EXPECT_FALSE(state->guiding.subFrameActive);
  EXPECT_FALSE(state->guiding.mainGuidingRunning);
  for (const auto& box : host.boxes) EXPECT_EQ(box.text.find("slewx"), std::string::npos);  // no results shown
}

}  // namespace
}  // namespace qv
