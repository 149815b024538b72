#include "guiding/guide_decision.h"

#include <gtest/gtest.h>

#include <memory>

#include "guiding/guide_pulses.h"
#include "guiding/serial_script.h"
#include "support/recording_host.h"
#include "support/test_clock.h"

namespace qv {
namespace {

// Reference at (100.0, 100.0); a star `dx`, `dy` thousandths of a pixel off
// it in the error's sense (positive: the star sits at a smaller column/row).
StarPosition Off(int columnError, int rowError) {
  const int x = 100'000 - columnError, y = 100'000 - rowError;
  return {x / 1000, y / 1000, (x % 1000) / 100, (y % 1000) / 100};
}
const StarPosition kRef{100, 100, 0, 0};

class MainDecision : public ::testing::Test {
 protected:
  void SetUp() override {
    s.ignoreSmallDrift = false;
    s.raRate = 2;
    s.decRate = 2;
  }
  GuideDecision Step(int columnError, int rowError) {
    return DecideMainCorrection(s, g, kRef, Off(columnError, rowError));
  }
  ProgramSettings s;
  GuidingState g;
};

TEST(DriftError, IsReferenceMinusStarInThousandths) {
  const DriftError e = MeasureDrift({100, 200, 3, 7}, {98, 201, 9, 2});
  EXPECT_EQ(e.column, 2000 - 600);
  EXPECT_EQ(e.row, -1000 + 500);
}

TEST_F(MainDecision, FixedThresholdsAreFiftyForColumnsThirtyForRows) {
  EXPECT_FALSE(Step(0, 0).column.corrected);
  // Tenths give steps of 100; the rule itself is tested through DecideAxis.
  AxisRule column{kMainColumnMinimum, 2, 0, 0};
  char last = 0;
  EXPECT_FALSE(DecideAxis(column, 50, 'e', last).corrected);
  EXPECT_FALSE(DecideAxis(column, -50, 'w', last).corrected);
  EXPECT_EQ(last, 0);
  const AxisCorrection a = DecideAxis(column, 51, 'e', last);
  EXPECT_TRUE(a.pulse());
  EXPECT_EQ(a.durationMs, 25);
  AxisRule row{kRowMinimum, 2, 0, 0};
  EXPECT_FALSE(DecideAxis(row, 30, 'n', last).corrected);
  EXPECT_TRUE(DecideAxis(row, 31, 'n', last).corrected);
  EXPECT_EQ(last, 'n');
}

TEST_F(MainDecision, DriftThresholdReplacesBothMinimums) {
  s.ignoreSmallDrift = true;
  s.driftThreshold = 500;
  GuideDecision d = Step(500, -500);
  EXPECT_FALSE(d.column.corrected);
  EXPECT_FALSE(d.row.corrected);
  d = Step(600, -600);
  EXPECT_EQ(d.column.letter, 'e');
  EXPECT_EQ(d.column.durationMs, 300);
  EXPECT_EQ(d.row.letter, 's');
  s.driftThreshold = 200;
  EXPECT_TRUE(Step(0, 300).row.corrected);
}

TEST_F(MainDecision, LargeJumpsSkipTheFrameBeforeAnyNarrowing) {
  EXPECT_FALSE(Step(5000, 0).skipped);
  GuideDecision d = Step(0, 5100);
  EXPECT_TRUE(d.skipped);
  EXPECT_FALSE(d.column.corrected);
  EXPECT_FALSE(d.row.corrected);
  // 65.6 pixels is 65600 thousandths: as a 16-bit value it would read 64,
  // well inside the limit. It is skipped all the same.
  g = {};
  d = DecideMainCorrection(s, g, {100, 100, 0, 0}, {34, 100, 4, 0});
  EXPECT_EQ(d.error.column, 65'600);
  EXPECT_TRUE(d.skipped);
  EXPECT_EQ(g.lastXDirection, 0);
}

TEST_F(MainDecision, ReversalAddsBacklashToTheMagnitudeOnce) {
  s.raBacklash = 2;
  s.decBacklash = 1;
  // The first correction of an axis has no earlier direction: backlash too.
  GuideDecision d = Step(-1000, 0);
  EXPECT_EQ(d.column.letter, 'w');
  EXPECT_TRUE(d.column.reversed);
  EXPECT_EQ(d.column.magnitude, 3000);  // longer, not 1000 - 2000
  EXPECT_EQ(d.column.durationMs, 1500);
  d = Step(-1000, 0);
  EXPECT_FALSE(d.column.reversed);
  EXPECT_EQ(d.column.durationMs, 500);
  d = Step(1000, 0);
  EXPECT_EQ(d.column.letter, 'e');
  EXPECT_EQ(d.column.durationMs, 1500);
  d = Step(1000, -400);
  EXPECT_EQ(d.column.durationMs, 500);
  EXPECT_EQ(d.row.letter, 's');
  EXPECT_EQ(d.row.magnitude, 1400);
  EXPECT_EQ(d.row.durationMs, 700);
}

TEST_F(MainDecision, HysteresisShortensAndCanSuppressButDirectionIsRecorded) {
  s.raHysteresis = 3;
  s.decHysteresis = 20;
  GuideDecision d = Step(1000, 0);
  EXPECT_EQ(d.column.durationMs, 500 - 300);
  EXPECT_TRUE(d.column.pulse());
  d = Step(0, -2000);
  EXPECT_TRUE(d.row.corrected);
  EXPECT_EQ(d.row.durationMs, 1000 - 2000);
  EXPECT_FALSE(d.row.pulse());
  EXPECT_EQ(g.lastYDirection, 's');
  s.raHysteresis = 5;
  EXPECT_FALSE(Step(1000, 0).column.pulse());  // exactly zero
}

TEST_F(MainDecision, RateZeroActsAsOne) {
  s.raRate = 0;
  EXPECT_EQ(Step(1000, 0).column.durationMs, 1000);
}

TEST_F(MainDecision, SouthOrNorthOffNeverCorrectsThatWay) {
  s.southCorrectionsOff = true;
  GuideDecision d = Step(0, -3000);
  EXPECT_FALSE(d.row.corrected);
  EXPECT_EQ(g.lastYDirection, 0);
  EXPECT_EQ(Step(0, 3000).row.letter, 'n');
  s.southCorrectionsOff = false;
  s.northCorrectionsOff = true;
  EXPECT_FALSE(Step(0, 3000).row.corrected);
  EXPECT_EQ(Step(0, -3000).row.letter, 's');
}

TEST_F(MainDecision, SwappedDriveDirectionsSwapTheLetters) {
  s.driveDirections = {'s', 'n', 'w', 'e'};
  GuideDecision d = Step(1000, 1000);
  EXPECT_EQ(d.column.letter, 'w');
  EXPECT_EQ(d.row.letter, 's');
}

TEST(GuiderDecision, DefaultRatesSkipAbove8000AndColumnsAbove30) {
  ProgramSettings s;
  s.ignoreSmallDrift = false;
  s.guiderRaRate = 6;
  GuidingState g;
  EXPECT_FALSE(DecideGuiderCorrection(s, g, kRef, Off(8000, 0)).skipped);
  EXPECT_TRUE(DecideGuiderCorrection(s, g, kRef, Off(0, -8100)).skipped);
  EXPECT_EQ(DecideAxis({kGuiderColumnMinimum, 6, 0, 0}, 31, 'e', g.lastXDirection).durationMs, 5);
  const GuideDecision d = DecideGuiderCorrection(s, g, kRef, Off(-6000, 0));
  EXPECT_EQ(d.column.letter, 'w');
  EXPECT_EQ(d.column.durationMs, 1000);
}

TEST(GuiderDecision, TrainedTurnsTheErrorByTheRotation) {
  ProgramSettings s;
  s.ignoreRaAngle = false;
  GuidingState g;
  g.guiderTraining = {
      .raMagnitude = 5, .decMagnitude = 4, .theta = 0.0f, .quadrant = 1, .trained = true, .useTrained = true};
  // A pure column error: B = atan(big / 0) is taken as 0, E = 0: all of it on
  // the column, none on the row.
  GuideDecision d = DecideGuiderCorrection(s, g, kRef, Off(3000, 0));
  EXPECT_EQ(d.column.letter, 'e');
  EXPECT_EQ(d.column.durationMs, 600);
  EXPECT_EQ(d.row.durationMs, 0);
  // Quadrant 3 reverses the column's sense.
  g.guiderTraining.quadrant = 3;
  EXPECT_EQ(DecideGuiderCorrection(s, g, kRef, Off(3000, 0)).column.letter, 'w');
}

TEST(AoDecision, StepsFromTheRatesLettersFromTheSwapsSkipFrom8001) {
  ProgramSettings s;
  s.aoDefault1 = 6;
  s.aoDefault2 = 10;
  AoDecision d = DecideAoCorrection(s, kRef, Off(2000, -300));
  EXPECT_EQ(d.columnLetter, 'w');  // second letter for an error above 0
  EXPECT_EQ(d.columnSteps, 12);
  EXPECT_EQ(d.rowLetter, 's');
  EXPECT_EQ(d.rowSteps, 3);
  s.aoSwapLeftRight = {'w', 'e'};
  EXPECT_EQ(DecideAoCorrection(s, kRef, Off(2000, 0)).columnLetter, 'e');
  // 100 thousandths at 6 steps a pixel is no whole step: nothing sent.
  EXPECT_EQ(DecideAoCorrection(s, kRef, Off(100, 0)).columnLetter, 0);
  EXPECT_FALSE(DecideAoCorrection(s, kRef, Off(8000, 8000)).skipped);
  EXPECT_TRUE(DecideAoCorrection(s, kRef, Off(0, -8100)).skipped);
}

class SendingCorrections : public ::testing::Test {
 protected:
  void SetUp() override { script = test::AttachScriptedCamera(state->camera.link); }
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;
  test::TestClock clock;
  std::shared_ptr<test::DeviceScript> script;
};

TEST_F(SendingCorrections, Lx200SendsEachPulsedAxisWithBeeps) {
  state->settings.telescopeGuiding = 'l';
  state->settings.ignoreSmallDrift = false;
  const GuideDecision d = DecideMainCorrection(state->settings, state->guiding, kRef, Off(-1000, 800));
  ASSERT_TRUE(SendCorrection(*state, host, clock, d, 0));
  using test::Sent;
  EXPECT_EQ(test::RelayEvents(*script),
            (std::vector<test::SerialEvent>{Sent(0, "#:RG#"), Sent(0, "#:Mw#"), Sent(0, "#:Qw#"), Sent(0, "#:RG#"),
                                            Sent(0, "#:Mn#"), Sent(0, "#:Qn#")}));
  EXPECT_EQ(host.beeps, 4);
  EXPECT_EQ(PulseBytes(state->settings, 'w'), "#:RG# #:Mw# #:Qw#");
}

TEST_F(SendingCorrections, SocketPulsesTheRelayAndSkippedFramesSendNothing) {
  state->settings.telescopeGuiding = 'b';
  state->settings.ignoreSmallDrift = false;
  GuideDecision d = DecideMainCorrection(state->settings, state->guiding, kRef, Off(1000, 0));
  ASSERT_TRUE(SendCorrection(*state, host, clock, d, 0));
  EXPECT_EQ(test::GuideOutputs(*script), (std::vector<int>{8, 0}));
  EXPECT_EQ(PulseBytes(state->settings, 'e'), "socket bits=8");
  d = DecideMainCorrection(state->settings, state->guiding, kRef, Off(6000, 0));
  ASSERT_TRUE(SendCorrection(*state, host, clock, d, 0));
  EXPECT_EQ(test::GuideOutputs(*script).size(), 2u);
}

}  // namespace
}  // namespace qv
