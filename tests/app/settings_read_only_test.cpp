// Reading the settings file for a program that shares it (the INDI driver):
// a whole, sound file is taken; anything else changes no setting, and the
// file and its folder are never written.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings_file.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

TEST(ReadSettingsFileOnly, TakesASoundFileAndNeverWrites) {
  test::TempDir dir;
  DataPaths paths{dir.str()};
  ProgramSettings settings;
  // No file: nothing changes and nothing is made, not even the folder.
  EXPECT_EQ(ReadSettingsFileOnly(settings, paths), SettingsStatus::LoadFailed);
  EXPECT_EQ(settings.cameraType, 6);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "autosave"));

  ProgramSettings saved;
  saved.cameraType = 2;
  saved.filterCount = 5;
  saved.filterNames[2] = "Ha";
  ASSERT_EQ(SaveSettings(saved, paths), SettingsStatus::Ok);
  const auto bytes = test::ReadBytes(SettingsFilePath(paths));
  ASSERT_EQ(ReadSettingsFileOnly(settings, paths), SettingsStatus::Ok);
  EXPECT_EQ(settings.cameraType, 2);
  EXPECT_EQ(settings.filterCount, 5);
  EXPECT_EQ(settings.filterNames[2], "Ha");

  // A cut file: the program would rewrite it; the shared reader leaves it
  // and every setting as they were.
  test::WriteBytes(SettingsFilePath(paths), std::vector<unsigned char>(bytes.begin(), bytes.begin() + 40));
  ProgramSettings untouched;
  untouched.cameraType = 4;
  EXPECT_EQ(ReadSettingsFileOnly(untouched, paths), SettingsStatus::LoadFailed);
  EXPECT_EQ(untouched.cameraType, 4);
  EXPECT_EQ(test::ReadBytes(SettingsFilePath(paths)).size(), 40u);
}

}  // namespace
}  // namespace qv
