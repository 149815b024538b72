// "Set Camera Type" and the start-up sequence.

#include "camera/set_camera_type.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "app/startup.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

class SetCameraTypeTest : public ::testing::Test {
 protected:
  void SetUp() override { state.paths.root = dir.str(); }
  test::TempDir dir;
  ProgramState state;
  test::RecordingHost host;
};

TEST_F(SetCameraTypeTest, LoadsTheRowAndCentresTheWindows) {
  state.settings.cameraType = 2;
  EXPECT_EQ(SetCameraType(state.settings, state.camera, state.geometry, state.paths), SettingsStatus::Ok);
  EXPECT_EQ(state.camera.model.name, "K2C");
  EXPECT_EQ(state.camera.focusWindowMode, 2);
  EXPECT_EQ(state.camera.focusCentreX, 970);
  EXPECT_EQ(state.camera.focusCentreY, 730);
  EXPECT_EQ(state.camera.subFrameCentreX, 970);
  EXPECT_EQ(state.camera.guideBoxOriginX, 906);
  EXPECT_EQ(state.camera.guideBoxOriginY, 666);
  EXPECT_EQ(state.geometry.width, 1940);
  // The settings file was written with the type.
  const auto bytes = test::ReadBytes(dir.path() / "autosave" / "Qel_K1C.ini");
  ASSERT_EQ(bytes.size(), 1447u);
  EXPECT_EQ(bytes[1436], 2);
}

TEST_F(SetCameraTypeTest, UnknownCodeKeepsTheModelButStillRuns) {
  state.settings.cameraType = 3;
  EXPECT_EQ(SetCameraType(state.settings, state.camera, state.geometry, state.paths), SettingsStatus::Ok);
  state.settings.cameraType = 9;
  state.camera.focusWindowMode = 0;
  EXPECT_EQ(SetCameraType(state.settings, state.camera, state.geometry, state.paths), SettingsStatus::Ok);
  EXPECT_EQ(state.camera.model.name, "K3C");
  EXPECT_EQ(state.camera.focusWindowMode, 2);
  EXPECT_EQ(state.geometry.width, 2750);
}

TEST_F(SetCameraTypeTest, StartupWithAFileHoldingType7) {
  ProgramSettings onDisk;
  onDisk.cameraType = 7;
  ASSERT_EQ(SaveSettings(onDisk, state.paths), SettingsStatus::Ok);
  RunStartup(state, host);
  EXPECT_EQ(state.camera.model.name, "K7");
  EXPECT_EQ(state.geometry.width, 1304);
  EXPECT_EQ(state.images.workImage[static_cast<std::size_t>(3) * 1304], 186);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(SetCameraTypeTest, FreshStartupKeepsTheBuiltInModel) {
  RunStartup(state, host);
  EXPECT_EQ(state.geometry.width, 2048);
  EXPECT_EQ(state.geometry.bitmapName, "c:\\Autosave\\Qel_K6.bmp");
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "autosave" / "Qel_K1C.ini"));
}

}  // namespace
}  // namespace qv
