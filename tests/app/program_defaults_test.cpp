// The Set Program Defaults editor: the checks of its fields at their
// boundaries, the filter wheel status, the AO and autosave folder refusals,
// and what is saved when.

#include "app/program_defaults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/settings_file.h"
#include "guiding/serial_script.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/test_clock.h"

namespace qv {
namespace {

struct DefaultsFixture {
  test::TempDir root;
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;
  test::TestClock clock;

  DefaultsFixture() { state->paths.root = root.str(); }
  ProgramSettings& settings() { return state->settings; }

  // "Set slew values" with one field typed and the rest as shown.
  void enterSlew(std::string_view name, std::string_view typed) {
    std::array<std::optional<long>, kSlewFieldCount> values{};
    const auto& fields = SlewFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
      values[i] = fields[i].name == name ? FieldNumber(typed) : settings().*(fields[i].member);
    }
    SetSlewValues(settings(), values);
  }
  std::vector<unsigned char> fileBytes() {
    std::ifstream in(SettingsFilePath(state->paths), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

TEST(ProgramDefaults, HysteresisIsHeldTo0To20) {
  DefaultsFixture f;
  for (auto [typed, stored] :
       {std::pair{"25", 20}, std::pair{"20", 20}, std::pair{"21", 20}, std::pair{"0", 0}, std::pair{"-1", 0}}) {
    f.enterSlew("raHysteresis", typed);
    EXPECT_EQ(f.settings().raHysteresis, stored) << typed;
    f.enterSlew("guiderDecHysteresis", typed);
    EXPECT_EQ(f.settings().guiderDecHysteresis, stored) << typed;
  }
}

TEST(ProgramDefaults, BacklashIsHeldTo0To30AndRatesToAtLeast1) {
  DefaultsFixture f;
  for (auto [typed, stored] :
       {std::pair{"31", 30}, std::pair{"49", 30}, std::pair{"30", 30}, std::pair{"0", 0}, std::pair{"-4", 0}}) {
    f.enterSlew("decBacklash", typed);
    EXPECT_EQ(f.settings().decBacklash, stored) << typed;
    f.enterSlew("guiderRaBacklash", typed);
    EXPECT_EQ(f.settings().guiderRaBacklash, stored) << typed;
  }
  for (auto [typed, stored] : {std::pair{"0", 1}, std::pair{"-7", 1}, std::pair{"1", 1}, std::pair{"12", 12}}) {
    f.enterSlew("raRate", typed);
    EXPECT_EQ(f.settings().raRate, stored) << typed;
    f.enterSlew("guiderDecRate", typed);
    EXPECT_EQ(f.settings().guiderDecRate, stored) << typed;
  }
  f.enterSlew("raRate", "fast");
  EXPECT_EQ(f.settings().raRate, 12);
}

TEST(ProgramDefaults, AFilterCountOutside1To8Becomes7AndNamesAreCutTo9) {
  DefaultsFixture f;
  std::array<std::string, 8> names{"Luminance1", "Red", "", "Green", "B", "Ha", "OIII", "123456789"};
  for (auto [count, stored] : {std::pair{0L, 7}, std::pair{9L, 7}, std::pair{1L, 1}, std::pair{8L, 8}}) {
    SetFilterDetails(f.settings(), count, names);
    EXPECT_EQ(f.settings().filterCount, stored) << count;
  }
  SetFilterDetails(f.settings(), std::nullopt, names);
  EXPECT_EQ(f.settings().filterCount, 7);
  EXPECT_EQ(f.settings().filterNames[0].view(), "Luminance");
  EXPECT_EQ(f.settings().filterNames[2].view(), "");
  EXPECT_EQ(f.settings().filterNames[7].view(), "123456789");
}

TEST(ProgramDefaults, TheFilterWheelStatusFollowsTheWheelAndThePorts) {
  DefaultsFixture f;
  ProgramSettings& s = f.settings();
  s.telescopePort = '2';
  EXPECT_EQ(FilterWheelStatus(*f.state), "");
  s.filterWheelFitted = true;
  EXPECT_EQ(FilterWheelStatus(*f.state), "on Com1");
  s.telescopePort = '1';
  EXPECT_EQ(FilterWheelStatus(*f.state), "on Com2");
  s.telescopePort = '3';
  EXPECT_EQ(FilterWheelStatus(*f.state), "on Com2");
  s.useUsbFilterWheel = true;
  EXPECT_EQ(FilterWheelStatus(*f.state), "on Com2");  // no wheel open
  f.state->camera.link.filterWheelAttached = true;
  EXPECT_EQ(FilterWheelStatus(*f.state), "on USB");
  s.filterWheelFitted = false;
  EXPECT_EQ(FilterWheelStatus(*f.state), "");
}

TEST(ProgramDefaults, ChoosingCom2ShowsTheWheelOnCom1) {
  DefaultsFixture f;
  f.settings().filterWheelFitted = true;
  Choose(*f.state, f.host, DefaultsRadio::Port, 1);
  EXPECT_EQ(f.settings().telescopePort, '2');
  EXPECT_FALSE(f.settings().usePcPort);
  EXPECT_EQ(FilterWheelStatus(*f.state), "on Com1");
  Choose(*f.state, f.host, DefaultsRadio::Port, 2);
  EXPECT_TRUE(f.settings().usePcPort);
}

TEST(ProgramDefaults, WithoutAWheelTheUsbBoxStaysClear) {
  DefaultsFixture f;
  f.settings().useUsbFilterWheel = true;
  RefreshDefaults(*f.state);
  EXPECT_FALSE(f.settings().useUsbFilterWheel);
  // The search finds nothing on a bus without devices.
  EXPECT_TRUE(ClickCheck(*f.state, f.host, f.clock, DefaultsCheck::UseUsbFilterWheel));
  EXPECT_FALSE(CheckState(*f.state, DefaultsCheck::UseUsbFilterWheel));
}

TEST(ProgramDefaults, TheAoUnitNeedsTelescopeGuiding) {
  DefaultsFixture f;
  ProgramSettings& s = f.settings();
  s.aoUnitAvailable = true;
  s.guidanceMode = 'A';
  EXPECT_FALSE(ClickCheck(*f.state, f.host, f.clock, DefaultsCheck::AoUnitAvailable));
  EXPECT_EQ(f.host.boxes.back().number, 80);
  EXPECT_EQ(f.host.boxes.back().text, "Please select telescope guiding mode before selecting AO Unit");
  EXPECT_FALSE(s.aoUnitAvailable);
  EXPECT_EQ(s.guidanceMode, 'T');
  Choose(*f.state, f.host, DefaultsRadio::Guiding, 1);
  EXPECT_TRUE(ClickCheck(*f.state, f.host, f.clock, DefaultsCheck::AoUnitAvailable));
  EXPECT_TRUE(s.aoUnitAvailable);
  EXPECT_EQ(s.guidanceMode, 'A');
  // Save Changes without guiding turns it off again.
  Choose(*f.state, f.host, DefaultsRadio::Guiding, 0);
  ASSERT_TRUE(AcceptDefaults(*f.state, f.host, "", {}));
  EXPECT_FALSE(s.aoUnitAvailable);
  EXPECT_EQ(s.guidanceMode, 'T');
}

TEST(ProgramDefaults, TheSwapBoxesShowAndSwapTheirLetterPairs) {
  DefaultsFixture f;
  EXPECT_FALSE(CheckState(*f.state, DefaultsCheck::SwapNorthSouth));
  EXPECT_TRUE(ClickCheck(*f.state, f.host, f.clock, DefaultsCheck::SwapNorthSouth));
  EXPECT_TRUE(ClickCheck(*f.state, f.host, f.clock, DefaultsCheck::SwapEastWest));
  EXPECT_EQ(std::string(f.settings().driveDirections.data(), 4), "snwe");
  EXPECT_TRUE(CheckState(*f.state, DefaultsCheck::SwapNorthSouth));
  EXPECT_TRUE(CheckState(*f.state, DefaultsCheck::SwapEastWest));
}

TEST(ProgramDefaults, MaximumCoolingMovesTheSetPointTo40Below) {
  DefaultsFixture f;
  f.settings().derived.coolerSetpointC = 5;
  EXPECT_TRUE(ClickCheck(*f.state, f.host, f.clock, DefaultsCheck::MaximumCooling));
  EXPECT_TRUE(f.settings().maximumCooling);
  EXPECT_EQ(f.settings().derived.coolerSetpointC, -40);
}

TEST(ProgramDefaults, TheCameraButtonsShowTheTypeAndSetItUp) {
  DefaultsFixture f;
  EXPECT_EQ(CurrentChoice(*f.state, DefaultsRadio::CameraModel), 0);  // type 6 is not one of the five
  Choose(*f.state, f.host, DefaultsRadio::CameraModel, 3);
  EXPECT_EQ(f.settings().cameraType, 4);
  EXPECT_EQ(f.settings().cameraPid.view(), "0616");
  EXPECT_EQ(f.state->geometry.sensorWidth, 3388);
  EXPECT_EQ(CurrentChoice(*f.state, DefaultsRadio::CameraModel), 3);
  Choose(*f.state, f.host, DefaultsRadio::GuiderCamera, 1);
  EXPECT_EQ(f.settings().derived.guiderColumns, 376);
  Choose(*f.state, f.host, DefaultsRadio::Background, 1);
  EXPECT_EQ(f.settings().derived.backgroundRed, 120);
}

TEST(ProgramDefaults, TheAutosaveFolderCheck) {
  DefaultsFixture f;
  ProgramSettings& s = f.settings();
  ASSERT_TRUE(SetAutosaveDirectory(*f.state, f.host, "shots\\night1"));
  EXPECT_EQ(s.autosaveDirectory.view(), "c:\\shots\\night1");
  EXPECT_EQ(s.derived.autosaveDirectory, "c:\\shots\\night1");
  EXPECT_TRUE(std::filesystem::is_directory(f.root.path() / "shots" / "night1"));
  ASSERT_TRUE(SetAutosaveDirectory(*f.state, f.host, "C:\\later"));
  EXPECT_EQ(s.autosaveDirectory.view(), "C:\\later");

  // Another drive, and a folder that cannot be made, are refused.
  std::ofstream(f.root.path() / "plain-file") << "x";
  for (const std::string& bad : {std::string("d:\\x"), std::string("1:"), f.root.str() + "/plain-file/x"}) {
    EXPECT_FALSE(SetAutosaveDirectory(*f.state, f.host, bad)) << bad;
    EXPECT_EQ(f.host.boxes.back().number, 52);
    EXPECT_EQ(f.host.boxes.back().text, "Sorry, Invalid directory");
    EXPECT_EQ(s.autosaveDirectory.view(), "C:\\later");
  }
  ASSERT_TRUE(SetAutosaveDirectory(*f.state, f.host, ""));
  EXPECT_EQ(s.autosaveDirectory.view(), "");
  EXPECT_EQ(s.derived.autosaveDirectory, "c:\\AUTOSAVE");
}

TEST(ProgramDefaults, SaveChangesWithARefusedFolderKeepsTheDialogAndTheSlewValues) {
  DefaultsFixture f;
  std::array<std::optional<long>, kSlewFieldCount> slew{};
  slew[0] = 9;
  EXPECT_FALSE(AcceptDefaults(*f.state, f.host, "q:\\x", slew));
  EXPECT_EQ(f.settings().raRate, 2);
  EXPECT_TRUE(AcceptDefaults(*f.state, f.host, "", slew));
  EXPECT_EQ(f.settings().raRate, 9);
}

TEST(ProgramDefaults, ABacklashOf31To49RoundTripsWithEveryLaterField) {
  DefaultsFixture f;
  ProgramSettings& s = f.settings();
  ASSERT_EQ(LoadSettings(s, f.state->paths, f.host), SettingsStatus::Ok);  // the first start writes defaults
  f.enterSlew("raBacklash", "40");
  f.enterSlew("guiderDecBacklash", "45");
  ASSERT_TRUE(SetAutosaveDirectory(*f.state, f.host, "night"));
  SetFilterDetails(s, 5, {"L", "R", "G", "B", "Ha", "", "", ""});
  Choose(*f.state, f.host, DefaultsRadio::CameraModel, 2);
  ASSERT_TRUE(FinishDefaults(*f.state, f.host, f.clock));

  auto loaded = std::make_unique<ProgramSettings>();
  ASSERT_EQ(LoadSettings(*loaded, f.state->paths, f.host), SettingsStatus::Ok);
  EXPECT_EQ(loaded->raBacklash, 30);
  EXPECT_EQ(loaded->guiderDecBacklash, 30);
  EXPECT_EQ(loaded->autosaveDirectory.view(), "c:\\night");
  EXPECT_EQ(loaded->filterCount, 5);
  EXPECT_EQ(loaded->filterNames[4].view(), "Ha");
  EXPECT_EQ(loaded->cameraType, 3);
  EXPECT_EQ(loaded->cameraPid.view(), "0615");
}

TEST(ProgramDefaults, CancelKeepsTheChangesInMemoryButDoesNotSave) {
  DefaultsFixture f;
  OpenDefaults(*f.state, f.host);  // the first start writes defaults
  EXPECT_TRUE(f.host.boxes.empty());
  const auto before = f.fileBytes();
  Choose(*f.state, f.host, DefaultsRadio::Background, 2);
  Choose(*f.state, f.host, DefaultsRadio::Drift, 3);
  EXPECT_TRUE(ClickCheck(*f.state, f.host, f.clock, DefaultsCheck::Tiff16Bit));
  EXPECT_EQ(f.fileBytes(), before);
  EXPECT_EQ(f.settings().windowBackground, 'g');
  EXPECT_EQ(f.settings().driftThreshold, 200);
  EXPECT_TRUE(f.settings().tiff16Bit);
  ASSERT_TRUE(FinishDefaults(*f.state, f.host, f.clock));
  EXPECT_NE(f.fileBytes(), before);
}

TEST(ProgramDefaults, SaveChangesOpensTheTelescopeLinkOnTheChosenPort) {
  DefaultsFixture f;
  auto pc = std::make_shared<test::PcPortScript>();
  UsbLink& link = f.state->camera.link;
  link.pcSerial = std::make_unique<test::ScriptedPcPort>(pc);
  ProgramSettings& s = f.settings();
  Choose(*f.state, f.host, DefaultsRadio::Port, 2);  // Use PC Port
  s.aoComPort = 4;
  ASSERT_TRUE(FinishDefaults(*f.state, f.host, f.clock));
  EXPECT_EQ(pc->opens, 0);  // no telescope guiding
  Choose(*f.state, f.host, DefaultsRadio::Guiding, 1);
  ASSERT_TRUE(FinishDefaults(*f.state, f.host, f.clock));
  EXPECT_EQ(pc->opens, 1);
  EXPECT_EQ(pc->openedPort, 4);
  EXPECT_TRUE(link.pcSerialOpen);
  s.aoComPort = 1;  // opened again on the number now chosen
  ASSERT_TRUE(FinishDefaults(*f.state, f.host, f.clock));
  EXPECT_EQ(pc->opens, 2);
  EXPECT_EQ(pc->openedPort, 1);
  // A camera port needs no opening; the computer's port is let go.
  Choose(*f.state, f.host, DefaultsRadio::Port, 0);
  ASSERT_TRUE(FinishDefaults(*f.state, f.host, f.clock));
  EXPECT_EQ(pc->opens, 2);
  EXPECT_FALSE(link.pcSerialOpen);
  // A port that cannot be opened is shown; the save itself stands.
  Choose(*f.state, f.host, DefaultsRadio::Port, 2);
  pc->openResult = -2;
  EXPECT_TRUE(FinishDefaults(*f.state, f.host, f.clock));
  EXPECT_FALSE(link.pcSerialOpen);
  EXPECT_EQ(f.host.boxes.back().text, "Open Communications Failed");
}

TEST(ProgramDefaults, OpeningWithAnUnreadableFileShowsMessage23) {
  DefaultsFixture f;
  std::filesystem::create_directories(f.root.path() / "autosave");
  OpenDefaults(*f.state, f.host);
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].number, 23);
}

}  // namespace
}  // namespace qv
