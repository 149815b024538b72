// The guider camera dialog's model and the guiding dialogs' numbers and plot.

#include "guiding/guider_dialog_fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/image_store.h"
#include "app/settings_file.h"
#include "guiding/guiding_info_fields.h"
#include "support/file_size_limit.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/test_clock.h"

namespace qv {
namespace {

class GuiderDialogModel : public ::testing::Test {
 protected:
  void SetUp() override { state->paths.root = dir.str(); }
  ProgramSettings Reloaded() {
    ProgramSettings loaded;
    EXPECT_EQ(LoadSettings(loaded, state->paths, host), SettingsStatus::Ok);
    return loaded;
  }
  std::string Field(int id) { return GuiderDialogField(*state, id); }

  test::TempDir dir;
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;
};

TEST_F(GuiderDialogModel, OpensOnlyWithACamera) {
  test::TestClock clock;
  EXPECT_FALSE(OpenGuiderCamera(*state, host, clock));
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.back().text, "Sorry, No camera found on USB");
  EXPECT_FALSE(state->guiding.telescopeInitialised);
}

TEST_F(GuiderDialogModel, UnitsResetTheValueAndTheArrowsAndEditKeepToTheRange) {
  ChooseGuiderUnit(*state, 's');
  EXPECT_EQ(Field(814), "1");
  EXPECT_EQ(Field(813), "1");
  StepGuiderExposure(*state, -1);
  EXPECT_EQ(state->guiding.guiderExposure.value, 1);
  EXPECT_FALSE(SetGuiderExposureValue(*state, 11));
  EXPECT_TRUE(SetGuiderExposureValue(*state, 10));
  StepGuiderExposure(*state, 1);
  EXPECT_EQ(state->guiding.guiderExposure.value, 10);
  ChooseGuiderUnit(*state, 't');
  EXPECT_EQ(state->guiding.guiderExposure.value, 5);
  EXPECT_TRUE(SetGuiderExposureValue(*state, 100));
  ChooseGuiderUnit(*state, 'h');
  EXPECT_EQ(state->guiding.guiderExposure.value, 5);
  EXPECT_TRUE(SetGuiderExposureValue(*state, 500));
  EXPECT_FALSE(SetGuiderExposureValue(*state, 0));
}

TEST_F(GuiderDialogModel, UseDefaultBeforeTrainingLeavesTheFlagClear) {
  ToggleGuiderUseTrained(*state);
  EXPECT_FALSE(state->guiding.guiderTraining.useTrained);
  EXPECT_EQ(Field(832), "Using Default Vals");
  EXPECT_EQ(Field(833), "Use Default");
  EXPECT_EQ(Field(866), "");  // nothing measured yet
  GuiderTraining& t = state->guiding.guiderTraining;
  t.trained = t.useTrained = true;  // as a completed training leaves it
  EXPECT_EQ(Field(832), "Using Trained Vals");
  EXPECT_EQ(Field(833), "Use Defaults");
  ToggleGuiderUseTrained(*state);
  EXPECT_EQ(Field(832), "Using Default Vals");
  EXPECT_EQ(Field(833), "Use Trained");
  // The AO label follows its own training.
  ToggleGuiderOption(*state, host, GuiderToggle::AoUseTrained);
  EXPECT_EQ(Field(938), "Using Default Vals");
  state->guiding.guiderDialog.aoTrained = state->guiding.guiderDialog.aoUseTrained = true;
  EXPECT_EQ(Field(938), "Using Trained Vals");
  ToggleGuiderOption(*state, host, GuiderToggle::AoUseTrained);
  EXPECT_EQ(Field(938), "Using Default Vals");
}

TEST_F(GuiderDialogModel, ChangeDefaultsIsCheckedAndSaved) {
  state->settings.guiderRaHysteresis = 4;
  EXPECT_FALSE(ChangeGuiderDefaultFields(*state, host, {5, 5, 31, 0, 0}).empty());
  EXPECT_FALSE(ChangeGuiderDefaultFields(*state, host, {0, 5, 0, 0, 0}).empty());
  EXPECT_EQ(Field(861), "6");
  EXPECT_TRUE(ChangeGuiderDefaultFields(*state, host, {3, 4, 30, 7, 1}).empty());
  const ProgramSettings loaded = Reloaded();
  EXPECT_EQ(loaded.guiderRaRate, 3);
  EXPECT_EQ(loaded.guiderDecRate, 4);
  EXPECT_EQ(loaded.guiderRaBacklash, 30);
  EXPECT_EQ(loaded.guiderDecBacklash, 7);
  EXPECT_EQ(loaded.guiderDefault5, 1.0f);
  EXPECT_EQ(loaded.guiderRaHysteresis, 4);  // not in the dialog's table: kept
}

TEST_F(GuiderDialogModel, SaveLatestKeepsTheBacklashTheFileCanLoad) {
  GuiderTraining& t = state->guiding.guiderTraining;
  // Nothing trained yet: the defaults typed earlier stay as they are.
  state->settings.guiderRaRate = 6;
  state->settings.guiderDecBacklash = 5;
  state->settings.guiderDefault5 = 1.0f;
  SaveLatestGuiderValues(*state, host);
  EXPECT_EQ(Field(861), "6");
  EXPECT_EQ(Field(864), "5");
  EXPECT_EQ(Field(865), "1");

  t.trained = true;
  t.raMagnitude = 4;
  t.decMagnitude = 2;
  t.raBacklash = 45;  // a training can measure more than the file accepts
  t.decBacklash = 3;
  t.theta = 1.3f;
  EXPECT_EQ(Field(868), "45");
  EXPECT_EQ(Field(870), "1");
  SaveLatestGuiderValues(*state, host);
  const ProgramSettings loaded = Reloaded();
  EXPECT_EQ(loaded.guiderRaRate, 4);
  EXPECT_EQ(loaded.guiderRaBacklash, 30);
  EXPECT_EQ(loaded.guiderDecBacklash, 3);
  EXPECT_EQ(loaded.guiderDefault5, 1.0f);
  EXPECT_EQ(loaded.aoDefault1, state->settings.aoDefault1);  // the later fields survive the load
}

TEST_F(GuiderDialogModel, SwapsAndModesAreShownAndSavedAtOnce) {
  for (GuiderToggle t : {GuiderToggle::SwapNorthSouth, GuiderToggle::SwapEastWest, GuiderToggle::AoSwapUpDown,
                         GuiderToggle::AoSwapLeftRight, GuiderToggle::MountSwapNorthSouth,
                         GuiderToggle::MountSwapEastWest, GuiderToggle::AoMode, GuiderToggle::GuidanceMode}) {
    ToggleGuiderOption(*state, host, t);
  }
  ChooseAoPort(*state, host, 3);
  for (int id : {875, 876, 931, 932, 946, 947, 945}) EXPECT_EQ(Field(id), "1") << id;
  EXPECT_EQ(Field(944), "0");
  EXPECT_EQ(Field(940), "AO Unit");
  EXPECT_EQ(Field(942), "Parallel");
  const ProgramSettings loaded = Reloaded();
  EXPECT_EQ(loaded.driveDirections, (std::array<char, 4>{'s', 'n', 'w', 'e'}));
  EXPECT_EQ(loaded.aoSwapUpDown, (std::array<char, 2>{'s', 'n'}));
  EXPECT_EQ(loaded.aoSwapLeftRight, (std::array<char, 2>{'w', 'e'}));
  EXPECT_EQ(loaded.mountNorthSouth, (std::array<char, 2>{'S', 'N'}));
  EXPECT_EQ(loaded.mountEastWest, (std::array<char, 2>{'W', 'T'}));
  EXPECT_EQ(loaded.aoPortChoice, 3);
  EXPECT_EQ(loaded.guidanceMode, 'A');
  ToggleGuiderOption(*state, host, GuiderToggle::SwapEastWest);
  EXPECT_EQ(Field(876), "0");
  EXPECT_EQ(Reloaded().driveDirections, (std::array<char, 4>{'s', 'n', 'e', 'w'}));

  // A change the file cannot take stays in force, and the user is told.
  host.boxes.clear();
  {
    const test::FileSizeLimit full(1000);
    ToggleGuiderOption(*state, host, GuiderToggle::SwapEastWest);
  }
  EXPECT_EQ(Field(876), "1");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].number, 24);
}

TEST_F(GuiderDialogModel, BrindleSensorRefusesBinningAndDarkApplyNeedsADark) {
  ToggleGuiderOption(*state, host, GuiderToggle::Bin2x2);
  EXPECT_EQ(Field(2439), "1");
  ToggleGuiderOption(*state, host, GuiderToggle::Bin2x2);
  state->settings.guiderCameraType = 'x';
  ToggleGuiderOption(*state, host, GuiderToggle::Bin2x2);
  EXPECT_EQ(Field(2439), "0");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, kBrindleCannotBin);

  ToggleGuiderOption(*state, host, GuiderToggle::ApplyDark);
  EXPECT_EQ(Field(914), "0");
  EXPECT_EQ(Field(913), "No darkframe has been taken");
  state->guiding.guiderDark.taken = true;
  state->guiding.guiderDark.exposure = {'t', 5};
  EXPECT_EQ(Field(913), " 5 tenth darkframe available");
  ToggleGuiderOption(*state, host, GuiderToggle::ApplyDark);
  EXPECT_EQ(Field(913), " 5 tenth darkframe being used");
}

TEST_F(GuiderDialogModel, AoRatesInUseComeFromTheEditsOrTheTraining) {
  EXPECT_FALSE(ChangeAoDefaults(*state, host, 0, 5).empty());
  EXPECT_TRUE(ChangeAoDefaults(*state, host, 12, 7).empty());
  EXPECT_EQ(Field(925), "12");
  EXPECT_EQ(Field(926), "7");
  state->settings.aoLatest1 = 20;
  state->settings.aoLatest2 = 18;
  SaveLatestAoRates(*state, host);
  EXPECT_EQ(Field(926), "20");
  EXPECT_EQ(Field(925), "18");
  EXPECT_EQ(Reloaded().aoDefault1, 20);
}

// A click on the guider frame picks a star only after "Select Guide Star",
// and only once.
TEST_F(GuiderDialogModel, AClickPicksTheStarOnlyInSelectionMode) {
  std::uint16_t* frame = state->images.guideImage;
  std::fill(frame, frame + ImageStore::kGuideColumns * ImageStore::kGuideRows, std::uint16_t{1000});
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) frame[(120 + dy) * ImageStore::kGuideColumns + 200 + dx] = 30000;
  }
  EXPECT_FALSE(ClickGuiderFrame(*state, host, 201, 121));
  EXPECT_FALSE(state->guiding.guiderStarChosen);
  BeginGuiderStarSelection(*state);
  EXPECT_TRUE(ClickGuiderFrame(*state, host, 201, 121));
  EXPECT_TRUE(state->guiding.guiderStarChosen);
  const StarPosition picked = state->guiding.guiderStar;
  EXPECT_NEAR(picked.x, 200, 1);
  EXPECT_NEAR(picked.y, 120, 1);
  EXPECT_FALSE(ClickGuiderFrame(*state, host, 50, 50));  // selection mode has ended
  EXPECT_EQ(state->guiding.guiderStar.x, picked.x);
  EXPECT_EQ(state->guiding.guiderStar.y, picked.y);
}

TEST(DriftPlot, OnePixelIsTenPlotPixelsAndDriftsOf4Point4PixelsAreOffThePlot) {
  EXPECT_EQ(DriftMarker(0, 0), (PlotPoint{578, 98}));
  EXPECT_EQ(DriftMarker(1000, 1000), (PlotPoint{588, 88}));  // row error up the plot
  EXPECT_EQ(DriftMarker(-150, -4399), (PlotPoint{577, 141}));
  EXPECT_FALSE(DriftMarker(4400, 0));
  EXPECT_FALSE(DriftMarker(0, -4400));
  const std::vector<int> ticks = PlotTickOffsets();
  EXPECT_EQ(*std::max_element(ticks.begin(), ticks.end()), 40);
  EXPECT_EQ(*std::min_element(ticks.begin(), ticks.end()), -40);
}

TEST(GuidingInfo, FieldsStagesAndRms) {
  auto state = std::make_unique<ProgramState>();
  GuidingState& g = state->guiding;
  g.guiderStar = {123, 45, 6, 0};
  g.columnError = -1250;
  g.rowError = 300;
  g.lastXPulseMs = 150;
  g.guiderDialog.lastBumpLetter = 'W';
  g.lastBumpMs = 10'000;
  std::vector<GuideFrameRecord> frames(1);
  frames[0].decision.error = {3000, 4000};
  const auto at = [&](std::uint32_t now, int id) {
    for (auto& [field, text] : GuiderGuidingFields(*state, frames, now))
      if (field == id) return text;
    return std::string("?");
  };
  EXPECT_EQ(at(11'000, 918), "123.6");
  EXPECT_EQ(at(11'000, 919), "45.0");
  EXPECT_EQ(at(11'000, 920), "-1.2");
  EXPECT_EQ(at(11'000, 921), "0.3");
  EXPECT_EQ(at(11'000, 922), "150");
  EXPECT_EQ(at(12'499, 927), "W");
  EXPECT_EQ(at(12'500, 927), "");
  EXPECT_EQ(RmsText(frames), "RMS 5.00 px (last 1 frames)");
  EXPECT_EQ(RmsText({}), "RMS -");
  // The reference back from a frame: star 123.6, 45.0 drifted by -1.2, 0.3.
  GuideFrameRecord f;
  f.star = {123, 45, 6, 0};
  f.decision.error = {-1200, 300};
  EXPECT_EQ(ReferenceOf(f), (StarPosition{122, 45, 4, 3}));
  EXPECT_EQ(GuiderGuidingStage(false, 0), "Guiding Info - Creating Guiding Frame");
  EXPECT_EQ(GuiderGuidingStage(true, 1), "Guiding Info - stabilising");
  EXPECT_EQ(GuiderGuidingStage(true, 2), "Guiding Info");

  g.guideStar = {64, 60, 3, 9};
  g.columnError = 1900;  // 1900 x 0.0526... = 100
  g.rowError = -95;
  const auto main = MainGuidingFields(*state);
  EXPECT_EQ(main[0].second, "64.3");
  EXPECT_EQ(main[1].second, "60.9");
  EXPECT_EQ(main[2].second, "100.0");
  EXPECT_EQ(main[3].second, "-5.0");
}

}  // namespace
}  // namespace qv
