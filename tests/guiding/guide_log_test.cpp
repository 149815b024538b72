#include "guiding/guide_log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

#include "support/temp_dir.h"

namespace qv {
namespace {

constexpr std::time_t kNight = 1'709'331'303;  // 2024-03-01 22:15:03 UTC

GuideFrameRecord Frame(int n, int column, int row) {
  GuideFrameRecord f;
  f.frame = n;
  f.decision.error = {column, row};
  return f;
}

TEST(GuideLog, OneLinePerFrameWithPulsesStepsOrSkip) {
  GuideFrameRecord f = Frame(4, -300, 100);
  f.decision.column = {.corrected = true, .letter = 'w', .magnitude = 300, .durationMs = 150};
  f.decision.row = {.corrected = true, .letter = 's', .magnitude = 100, .durationMs = -50};  // hysteresis ate it
  EXPECT_EQ(GuideLogLine(f, kNight), "22:15:03 frame=4 dx=-0.300 dy=0.100 ra=w 150ms dec=-");
  GuideFrameRecord a = Frame(5, 2000, 0);
  a.ao = true;
  a.aoDecision = {.error = {2000, 0}, .columnLetter = 'w', .columnSteps = 12};
  EXPECT_EQ(GuideLogLine(a, kNight), "22:15:03 frame=5 dx=2.000 dy=0.000 ra=w 12 steps dec=-");
  GuideFrameRecord s = Frame(6, 6000, 0);
  s.decision.skipped = true;
  EXPECT_EQ(GuideLogLine(s, kNight), "22:15:03 frame=6 dx=6.000 dy=0.000 skipped");
}

TEST(GuideLog, AppendsToTheDatedFileInTheAutosaveFolder) {
  test::TempDir dir;
  auto state = std::make_unique<ProgramState>();
  state->paths.root = dir.str();
  ASSERT_TRUE(AppendGuideLog(*state, kNight, Frame(1, 0, 0)));
  ASSERT_TRUE(AppendGuideLog(*state, kNight, Frame(2, 100, 0)));
  EXPECT_EQ(GuideLogPath(*state, kNight), dir.str() + "/autosave/guide_log_2024-03-01.txt");
  std::ifstream in(GuideLogPath(*state, kNight));
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "22:15:03 frame=1 dx=0.000 dy=0.000 ra=- dec=-\n22:15:03 frame=2 dx=0.100 dy=0.000 ra=- dec=-\n");
}

TEST(GuideRms, OverAllAndOverTheLastFrames) {
  std::vector<GuideFrameRecord> frames{Frame(1, 3000, 4000), Frame(2, 0, 0), Frame(3, 0, 1000)};
  EXPECT_NEAR(RmsErrorPixels(frames), std::sqrt(26.0 / 3), 1e-9);
  EXPECT_NEAR(RmsOfLastFrames(frames, 2), std::sqrt(0.5), 1e-9);
  EXPECT_EQ(RmsErrorPixels({}), 0);
}

}  // namespace
}  // namespace qv
