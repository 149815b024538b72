// Training and guiding on the main camera against the simulated mount.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/run_operation.h"
#include "camera/camera_commands.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "guiding/guider_guiding.h"
#include "guiding/guider_training.h"
#include "guiding/main_guiding.h"
#include "guiding/main_training.h"
#include "sim/sim_world.h"
#include "support/file_size_limit.h"
#include "support/sim_camera_test.h"

namespace qv {
namespace {

class MainGuidingSim : public test::SimCameraTest {
 protected:
  void SetUp() override {
    state->settings.guideStarMaskRadius = 8;
    state->settings.telescopeGuiding = 'b';
    state->settings.ignoreSmallDrift = false;
    EXPECT_EQ(SetCameraType(state->settings, state->camera, state->geometry, state->paths), SettingsStatus::Ok);
    SetGeometryForReadout(*state, kFullResolution);
    world = std::make_shared<sim::SimWorld>(clock, 1, 7);
    bus = sim::MakeSimBus(world);
    ASSERT_TRUE(ConnectCamera(*state, *bus, host, clock));
    state->guiding.telescopeInitialised = true;  // no settings file to reload
    HoldMountStill();
    // The guide rate stays at 2 pixels per second: 4 pixels a training move,
    // well inside the star box.
    PickStar();
  }

  // The user picks the bright star where it now is.
  void PickStar() {
    state->guiding.guideStar = BrightStarNow();
    state->guiding.guideStarChosen = true;
  }

  MainTrainingResult Train() {
    MainTrainingOperation training(*state, host, clock, 500);
    RunOperation(training, clock, host);
    EXPECT_TRUE(training.succeeded());
    return training.result();
  }

  double GuidedRms(bool guide, int frames) {
    PickStar();
    MainGuidingOperation guiding(*state, host, clock, {.exposureMs = 1000, .frames = frames, .sendCorrections = guide});
    RunOperation(guiding, clock, host);
    EXPECT_FALSE(guiding.failed());
    EXPECT_EQ(static_cast<int>(guiding.frames().size()), frames);
    return RmsErrorPixels(guiding.frames());
  }
};

TEST_F(MainGuidingSim, TrainingRecoversTheMountRatesAndStoresThem) {
  const MainTrainingResult r = Train();
  EXPECT_EQ(r.raRate, 2);
  EXPECT_EQ(r.decRate, 2);
  EXPECT_EQ(state->settings.raRate, r.raRate);
  EXPECT_EQ(state->settings.decRate, r.decRate);
  EXPECT_FALSE(state->guiding.subFrameActive);
  EXPECT_EQ(state->camera.guideOutputs, 0);

  // A settings file that cannot be written is said, not passed off as saved.
  const std::size_t boxesBefore = host.boxes.size();
  MainTrainingOperation training(*state, host, clock, 500);
  {
    const test::FileSizeLimit limit(1000);
    RunOperation(training, clock, host);
  }
  EXPECT_TRUE(training.succeeded());
  EXPECT_FALSE(training.settingsSaved());
  // The place of the sub-frame, the results, then why they were not saved.
  ASSERT_EQ(host.boxes.size(), boxesBefore + 3);
  EXPECT_EQ(host.boxes[boxesBefore + 1].text.rfind("slewx", 0), 0u);
  EXPECT_EQ(host.boxes.back().text, "Unable to save INI file, please check disk space");
}

TEST_F(MainGuidingSim, TrainingWithSwappedDirectionsRecoversTheSameRates) {
  state->settings.driveDirections = {'s', 'n', 'w', 'e'};
  const MainTrainingResult r = Train();
  EXPECT_EQ(r.raRate, 2);
  EXPECT_EQ(r.decRate, 2);
}

TEST_F(MainGuidingSim, LxTrainingMovesTheNamedWayWhateverTheSwaps) {
  state->settings.telescopeGuiding = 'l';
  state->settings.driveDirections = {'s', 'n', 'w', 'e'};
  const MainTrainingResult r = Train();
  EXPECT_EQ(r.decRate, 2);
  EXPECT_EQ(r.raRate, 2);
  std::vector<std::string> moves;
  for (const std::string& text : world->serial.received) {
    if (text.rfind("#:M", 0) == 0) moves.push_back(text);
  }
  ASSERT_EQ(moves.size(), 8u);
  EXPECT_EQ(moves.front(), "#:Mn#");  // the first Dec move is north
  EXPECT_EQ(moves[4], "#:Me#");       // the first RA move is east
}

TEST_F(MainGuidingSim, TrainingSeesTheDecBacklash) {
  world->scene.mount.decBacklash = 4;
  const MainTrainingResult r = Train();
  EXPECT_GT(r.decBacklash, 0);
  EXPECT_EQ(r.raBacklash, 0);
}

TEST_F(MainGuidingSim, GuidingHoldsTheStarBetterThanNoGuiding) {
  DriftingSky();
  Train();
  const double unguided = GuidedRms(false, 30);
  const double guided = GuidedRms(true, 30);
  EXPECT_LT(guided, unguided);
  EXPECT_LT(guided, 1.0);
  EXPECT_EQ(host.boxes.back().text, kGuidingTerminated);
}

class GuiderGuidingSim : public MainGuidingSim {
 protected:
  void PickGuiderStar() {
    state->guiding.guiderStar = BrightStarOnGuider(GuiderColumns(state->settings), 290);
    state->guiding.guiderStarChosen = true;
  }
  double GuiderRms(GuiderGuidingOptions options) {
    PickGuiderStar();
    GuiderGuidingOperation guiding(*state, host, clock, options);
    RunOperation(guiding, clock, host);
    EXPECT_FALSE(guiding.failed());
    EXPECT_EQ(static_cast<int>(guiding.frames().size()), options.frames);
    return RmsErrorPixels(guiding.frames());
  }
  void Drifting() {
    DriftingSky();
    state->settings.guiderRaRate = 2;
    state->settings.guiderDecRate = 2;
  }
};

// The reference frame is measured before any correction, and said to be so,
// so the guiding dialog can show that guiding is stabilising.
TEST_F(GuiderGuidingSim, TheReferenceFrameIsAnnouncedBeforeTheFirstCorrection) {
  PickGuiderStar();
  GuiderGuidingOperation guiding(*state, host, clock, {.exposureMs = 500, .frames = 2});
  int announced = 0;
  std::size_t framesWhenAnnounced = 99;
  guiding.onReferenceTaken([&] {
    ++announced;
    framesWhenAnnounced = guiding.frames().size();
  });
  EXPECT_FALSE(guiding.referenceTaken());
  RunOperation(guiding, clock, host);
  EXPECT_EQ(announced, 1);
  EXPECT_EQ(framesWhenAnnounced, 0u);
  EXPECT_TRUE(guiding.referenceTaken());
  EXPECT_EQ(guiding.frames().size(), 2u);
}

TEST_F(GuiderGuidingSim, MountGuidingHoldsTheStarBetterThanNoGuiding) {
  Drifting();
  // On both guider sensors: the narrow one's frame is 376 pixels wide.
  for (const char sensor : {'s', 'x'}) {
    state->settings.guiderCameraType = sensor;
    const double unguided = GuiderRms({.exposureMs = 1000, .frames = 30, .sendCorrections = false});
    const double guided = GuiderRms({.exposureMs = 1000, .frames = 30});
    EXPECT_LT(guided, unguided) << sensor;
    EXPECT_LT(guided, 1.0) << sensor;
  }
}

TEST_F(GuiderGuidingSim, AoGuidingHoldsTheStarAndRecentresAtTheEnd) {
  Drifting();
  state->settings.aoPortChoice = 1;
  // The simulated element moves the image east and south for T and S steps,
  // 20 steps a pixel: both swap options on, and the rates to match.
  state->settings.aoSwapLeftRight = {'w', 'e'};
  state->settings.aoSwapUpDown = {'s', 'n'};
  state->settings.aoDefault1 = state->settings.aoDefault2 = 20;
  const double unguided =
      GuiderRms({.exposureMs = 1000, .frames = 20, .target = GuideTarget::Ao, .sendCorrections = false});
  const double guided = GuiderRms({.exposureMs = 1000, .frames = 20, .target = GuideTarget::Ao});
  EXPECT_LT(guided, unguided);
  EXPECT_EQ(state->guiding.aoEastWest, 0);
  EXPECT_EQ(state->guiding.aoNorthSouth, 0);
}

TEST_F(GuiderGuidingSim, MountTrainingRecoversTheRatesOnTheGuiderFrame) {
  for (const bool swapped : {false, true}) {
    if (swapped) state->settings.driveDirections = {'s', 'n', 'w', 'e'};
    state->settings.guiderTrainingSeconds = 4;
    PickGuiderStar();
    GuiderTrainingOperation training(*state, host, clock, GuiderTrainingKind::Mount, 500);
    RunOperation(training, clock, host);
    ASSERT_TRUE(training.succeeded());
    const GuiderTraining& t = state->guiding.guiderTraining;
    // The simulated mount moves 2 pixels a second along the frame's axes.
    EXPECT_NEAR(t.raMagnitude, 2, 0.2);
    EXPECT_NEAR(t.decMagnitude, 2, 0.2);
    EXPECT_EQ(t.raY, 0);
    EXPECT_EQ(t.theta, 0.0f);
    EXPECT_TRUE(t.useTrained);
    EXPECT_EQ(training.caption(), kGuiderCaption);
  }
}

TEST_F(GuiderGuidingSim, LxTrainingMovesTheNamedWayWhateverTheSwaps) {
  state->settings.telescopeGuiding = 'l';
  state->settings.driveDirections = {'s', 'n', 'w', 'e'};
  PickGuiderStar();
  GuiderTrainingOperation training(*state, host, clock, GuiderTrainingKind::Mount, 500);
  RunOperation(training, clock, host);
  ASSERT_TRUE(training.succeeded());
  std::vector<std::string> moves;
  for (const std::string& text : world->serial.received) {
    if (text.rfind("#:M", 0) == 0) moves.push_back(text);
  }
  ASSERT_EQ(moves.size(), 8u);
  EXPECT_EQ(moves.front(), "#:Mw#");  // slewing West
  EXPECT_EQ(moves[5], "#:Mn#");       // slewing North
}

TEST_F(GuiderGuidingSim, TrainingCaptionShowsThePauseBeforeTheDecMoves) {
  PickGuiderStar();
  GuiderTrainingOperation training(*state, host, clock, GuiderTrainingKind::Mount, 500);
  const std::string prefix = std::string(kGuiderCaption) + " - Training / ";
  std::vector<std::string> captions;
  for (WakeTime wake = training.start(clock.nowMs); wake; wake = training.step(clock.nowMs)) {
    clock.nowMs = std::max(clock.nowMs, *wake);
    captions.push_back(training.caption());
  }
  ASSERT_TRUE(training.succeeded());
  const auto pause = std::find(captions.begin(), captions.end(), prefix + "pausing for 1/2 second");
  ASSERT_NE(pause, captions.end());
  EXPECT_EQ(*(pause - 1), prefix + "slewing West to stabilise");
  EXPECT_EQ(*(pause + 1), prefix + "slewing North");
}

TEST_F(GuiderGuidingSim, AoTrainingRecoversTheStepSize) {
  state->settings.aoPortChoice = 1;
  PickGuiderStar();
  GuiderTrainingOperation training(*state, host, clock, GuiderTrainingKind::Ao, 500);
  RunOperation(training, clock, host);
  ASSERT_TRUE(training.succeeded());
  // 0.05 pixels a step: 20 steps a pixel.
  EXPECT_NEAR(state->settings.aoLatest1, 20, 2);
  EXPECT_NEAR(state->settings.aoLatest2, 20, 2);
}

TEST(GuiderTrainingResults, QuadrantThetaAndBacklashFromThePlaces) {
  GuiderPlaces p{};
  // T = 1: west moved the star by (-8, -4) over the three west moves, so the
  // RA vector is (-4, -2): quadrant 1 + 1 + 1, theta atan(4 / 2) = 1.107.
  p[0] = {100, 100, 0, 0};
  p[3] = {92, 96, 0, 0};
  p[4] = {95, 97, 0, 0};  // east came back 3, 1 of the 4, 2 expected
  p[5] = {92, 96, 0, 0};
  p[7] = {92, 108, 0, 0};  // 12 pixels in 1.2 s: 10 a second south on the frame
  p[8] = {92, 99, 0, 0};
  const GuiderTraining t = ComputeGuiderTraining(p, 1);
  EXPECT_EQ(t.raX, -4);
  EXPECT_EQ(t.raY, -2);
  EXPECT_EQ(t.quadrant, 3);
  EXPECT_NEAR(t.theta, std::atan(2.0), 1e-6);  // 4 / 2 in whole numbers
  EXPECT_EQ(t.raMagnitude, 4);
  EXPECT_EQ(t.decY, 10);
  EXPECT_EQ(t.raBacklashX, 1);   // |92 - (95 - 4)|
  EXPECT_EQ(t.raBacklashY, 1);   // |96 - (97 - 2)|
  EXPECT_EQ(t.decBacklashY, 1);  // |108 - (99 + 10)|
  EXPECT_EQ(GuiderTrainingText(t).substr(0, 24), "slew RA =    -4,   -2,  ");

  // The RA vector is read off the whole columns and rows: from 100.9 to 108.0
  // over T = 2 is (108 - 100) / 4 = 2, not the 1 that the tenths would give.
  p[0] = {100, 100, 9, 0};
  p[3] = {108, 100, 0, 0};
  const GuiderTraining whole = ComputeGuiderTraining(p, 2);
  EXPECT_EQ(whole.raX, 2);
  EXPECT_EQ(whole.raY, 0);
  EXPECT_EQ(whole.quadrant, 1);
}

TEST(AoTraining, NoMovementFailsAndKeepsTheRates) {
  GuiderPlaces still{};
  EXPECT_FALSE(ComputeAoTraining(still));
  GuiderPlaces moved{};
  moved[1] = {-2, 0, 5, 0};  // -1.5 pixels west
  moved[3] = {0, 1, 0, 2};   // 1.2 pixels north
  const auto r = ComputeAoTraining(moved);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->raRate, 16);   // 25 / 1.5
  EXPECT_EQ(r->decRate, 20);  // 25 / 1.2
}

TEST_F(GuiderGuidingSim, NeedsAStarAndStopsWhenItIsLost) {
  GuiderGuidingOperation noStar(*state, host, clock, {.frames = 2});
  RunOperation(noStar, clock, host);
  EXPECT_TRUE(noStar.failed());
  EXPECT_EQ(host.boxes.back().text, kNoGuideStar);
  state->guiding.guiderStar = {2, 2, 0, 0};
  state->guiding.guiderStarChosen = true;
  GuiderGuidingOperation edge(*state, host, clock, {.frames = 2});
  RunOperation(edge, clock, host);
  EXPECT_TRUE(edge.failed());
  EXPECT_EQ(state->camera.guideOutputs, 0);
}

}  // namespace
}  // namespace qv
