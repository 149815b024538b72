#include "guiding/guider_defaults.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/settings_file.h"
#include "guiding/main_training.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

TEST(GuiderDefaults, RefusesWhatTheSettingsFileWouldRefuseAndClampsHysteresis) {
  ProgramSettings s;
  const ProgramSettings before = s;
  EXPECT_FALSE(ChangeGuiderDefaults(s, {.raRate = 4, .decRate = 4, .raBacklash = 31}).empty());
  EXPECT_FALSE(ChangeGuiderDefaults(s, {.raRate = 0, .decRate = 4}).empty());
  EXPECT_FALSE(ChangeGuiderDefaults(s, {.raRate = 4, .decRate = 4, .decBacklash = 49}).empty());
  EXPECT_EQ(s.guiderRaRate, before.guiderRaRate);
  EXPECT_EQ(s.guiderDecBacklash, before.guiderDecBacklash);
  EXPECT_TRUE(ChangeGuiderDefaults(s, {3, 5, 30, 0, 25, -2}).empty());
  EXPECT_EQ(s.guiderRaRate, 3);
  EXPECT_EQ(s.guiderDecRate, 5);
  EXPECT_EQ(s.guiderRaBacklash, 30);
  EXPECT_EQ(s.guiderRaHysteresis, 20);
  EXPECT_EQ(s.guiderDecHysteresis, 0);
}

TEST(GuiderDefaults, StoredValuesLoadBackUnchanged) {
  test::TempDir dir;
  auto state = std::make_unique<ProgramState>();
  state->paths.root = dir.str();
  ASSERT_TRUE(ChangeGuiderDefaults(state->settings, {3, 5, 30, 12, 4, 6}).empty());
  ASSERT_EQ(SaveSettings(state->settings, state->paths), SettingsStatus::Ok);
  ProgramSettings loaded;
  test::RecordingHost host;
  ASSERT_EQ(LoadSettings(loaded, state->paths, host), SettingsStatus::Ok);
  EXPECT_EQ(loaded.guiderRaBacklash, 30);
  EXPECT_EQ(loaded.guiderDecBacklash, 12);
  EXPECT_EQ(loaded.guiderDecRate, 5);
}

}  // namespace
}  // namespace qv
