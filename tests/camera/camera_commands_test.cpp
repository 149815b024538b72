#include "camera/camera_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/null_host.h"
#include "app/settings_file.h"
#include "camera/device_bus.h"
#include "camera/filter_cooler.h"
#include "camera/scripted_devices.h"
#include "camera/set_camera_type.h"
#include "guiding/ao_unit.h"
#include "guiding/telescope_commands.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/test_clock.h"

namespace qv {
namespace {

using test::Bytes;

Bytes Le16Frame(std::size_t pixels, int start = 0) {
  Bytes b(pixels * 2);
  for (std::size_t i = 0; i < pixels; ++i) {
    const auto v = static_cast<std::uint16_t>(start + i);
    b[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
    b[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  return b;
}

class CameraCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    state->paths.root = dir.str();
    UseModel(1);
    script = test::AttachScriptedCamera(state->camera.link);
  }
  void UseModel(int code) {
    state->settings.cameraType = static_cast<std::int16_t>(code);
    EXPECT_EQ(SetCameraType(state->settings, state->camera, state->geometry, state->paths), SettingsStatus::Ok);
  }
  Bytes Written(std::size_t i) const { return script->written.at(i); }

  test::TempDir dir;
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;
  test::TestClock clock;
  std::shared_ptr<test::DeviceScript> script;
};

TEST_F(CameraCommands, ClearIsTwoBlocks) {
  EXPECT_TRUE(ClearSensor(*state, host));
  EXPECT_EQ(script->written, (std::vector<Bytes>{{0x40, 1, 8, 0, 0, 0, 0, 0}, {0x40, 1, 0, 0, 0, 0, 0, 0}}));
}

TEST_F(CameraCommands, FullResolutionCopiesTheFrame) {
  SetGeometryForReadout(*state, kFullResolution);
  script->replies.push_back(Le16Frame(1392 * 1040, 5));
  EXPECT_TRUE(ReadFrame(*state, host, kFullResolution, 1000));
  EXPECT_EQ(Written(0).size(), 22u);
  EXPECT_EQ(script->readSizes, (std::vector<std::size_t>{1392 * 1040 * 2}));
  EXPECT_EQ(state->images.workImage[0], 5);
  EXPECT_EQ(state->images.workImage[1392 * 1040 - 1], static_cast<std::uint16_t>(5 + 1392 * 1040 - 1));
  EXPECT_EQ(state->camera.readoutModeCode, 0);
}

TEST_F(CameraCommands, Binned2x2AndTheImmediateReadout) {
  SetGeometryForReadout(*state, kBinned2x2);
  script->replies.push_back(Le16Frame(696 * 520));
  EXPECT_TRUE(ReadFrame(*state, host, kBinned2x2, 1001));
  EXPECT_EQ(Written(0), (Bytes{0x40, 3, 3, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0x70, 0x05, 0x10, 0x04, 2, 2}));
  EXPECT_EQ(script->readSizes[0], 696u * 520 * 2);
  EXPECT_EQ(state->camera.readoutModeCode, 2);
}

TEST_F(CameraCommands, Binned4x4ReadsAQuarterAndEnlarges) {
  SetGeometryForReadout(*state, kBinned4x4);
  script->replies.push_back(Le16Frame(348 * 260, 100));
  EXPECT_TRUE(ReadFrame(*state, host, kBinned4x4, 50));
  EXPECT_EQ(script->readSizes[0], 348u * 260 * 2);  // pixelCount / 2 bytes
  EXPECT_EQ(Written(0)[16], 4);
  const std::uint16_t* work = state->images.workImage;
  EXPECT_EQ(state->geometry.width, 696);
  EXPECT_EQ(state->geometry.height, 520);
  EXPECT_EQ(work[2], 101);
  EXPECT_EQ(work[696 * 2], 100 + 348);
  for (int c = 0; c < 696; ++c) ASSERT_EQ(work[696 * 519 + c], work[696 * 518 + c]);
  EXPECT_EQ(state->camera.readoutModeCode, 4);
}

TEST_F(CameraCommands, Binned3x3OfTheLargestSensor) {
  UseModel(4);
  SetGeometryForReadout(*state, kBinned3x3);
  script->replies.push_back(Le16Frame(1129 * 904));
  EXPECT_TRUE(ReadFrame(*state, host, kBinned3x3, 10));
  const Bytes sent = Written(0);
  EXPECT_EQ(GetLe16(&sent[12]), 1129 * 3);
  EXPECT_EQ(GetLe16(&sent[14]), 904 * 3);
  EXPECT_EQ(sent[16], 3);
  EXPECT_EQ(script->readSizes[0], 1129u * 904 * 2);
  EXPECT_EQ(state->geometry.width, 1694);
  EXPECT_EQ(state->geometry.height, 1356);
  EXPECT_EQ(state->images.scratchImage[1128], 1128);  // the read lands in the scratch image
  EXPECT_EQ(state->camera.readoutModeCode, 3);
}

TEST_F(CameraCommands, SubFrameWindows) {
  SetGeometryForReadout(*state, kUserSubFrame);
  // Window mode 2 (set by Set Camera Type): half frame round the centre (696, 520).
  script->replies.push_back(Le16Frame(696 * 520));
  EXPECT_TRUE(ReadFrame(*state, host, kUserSubFrame, 10));
  EXPECT_EQ(GetLe16(&Written(0)[8]), 696 - 348);
  EXPECT_EQ(GetLe16(&Written(0)[10]), 520 - 260);
  EXPECT_EQ(state->camera.readoutModeCode, 0);

  // Window mode 3: a third of the sensor, placed centred with zeros round it.
  state->camera.focusWindowMode = 3;
  script->replies.push_back(Le16Frame(464 * 346, 1));
  EXPECT_TRUE(ReadFrame(*state, host, kUserSubFrame, 10));
  const Bytes sent = Written(1);
  const int pl = (696 - 464) / 2, pt = (520 - 346) / 2;
  EXPECT_EQ(GetLe16(&sent[8]), 696 - pl);
  EXPECT_EQ(GetLe16(&sent[10]), 520 - pt);
  EXPECT_EQ(GetLe16(&sent[12]), 464);
  EXPECT_EQ(GetLe16(&sent[14]), 346);
  const std::uint16_t* work = state->images.workImage;
  EXPECT_EQ(work[0], 0);
  EXPECT_EQ(work[pt * 696 + pl], 1);
  EXPECT_EQ(work[pt * 696 + pl - 1], 0);

  // Any other mode: a quarter of the sensor.
  state->camera.focusWindowMode = 7;
  script->replies.push_back(Le16Frame(348 * 260));
  EXPECT_TRUE(ReadFrame(*state, host, kUserSubFrame, 10));
  EXPECT_EQ(GetLe16(&Written(2)[12]), 348);
  EXPECT_EQ(GetLe16(&Written(2)[14]), 260);
}

TEST_F(CameraCommands, SubFrameNearTheEdgeStaysOnTheSensor) {
  SetGeometryForReadout(*state, kUserSubFrame);
  state->camera.subFrameCentreX = 10;
  state->camera.subFrameCentreY = 1039;
  script->replies.push_back(Le16Frame(696 * 520));
  EXPECT_TRUE(ReadFrame(*state, host, kUserSubFrame, 10));
  EXPECT_EQ(GetLe16(&Written(0)[8]), 0);
  EXPECT_EQ(GetLe16(&Written(0)[10]), 1040 - 520);
}

TEST_F(CameraCommands, K7FullFrameGetsTheColumnPairCorrection) {
  UseModel(7);
  SetGeometryForReadout(*state, kFullResolution);
  Bytes frame(1304 * 1024 * 2, 0);
  for (std::size_t i = 0; i < frame.size() / 2; ++i) {
    const int v = (i % 1304) % 2 ? 2300 : 2000;
    frame[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
    frame[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  script->replies.push_back(frame);
  EXPECT_TRUE(ReadFrame(*state, host, kFullResolution, 10));
  EXPECT_EQ(state->images.workImage[0], 2000);
  EXPECT_EQ(state->images.workImage[16], 1000);
  EXPECT_EQ(state->images.workImage[17], 1000);
}

TEST_F(CameraCommands, FailedReadoutIsReportedAndCarriesOn) {
  SetGeometryForReadout(*state, kBinned2x2);
  script->failReads = true;
  state->camera.link.reply[0] = 9;
  EXPECT_FALSE(ReadFrame(*state, host, kBinned2x2, 10));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Error 5 trying to read QelIO data from USB\n");
  EXPECT_EQ(state->images.workImage[0], 9);  // the stale reply bytes
}

TEST_F(CameraCommands, GuideBoxAndBinFocusFrame) {
  state->camera.guideBoxOriginX = 30;
  state->camera.guideBoxOriginY = 200;
  script->replies.push_back(Le16Frame(16384, 3));
  EXPECT_TRUE(ReadGuideBox(*state, host, 200, false));
  EXPECT_EQ(Written(0), (Bytes{0x40, 2, 3, 0, 0, 0, 14, 0, 30, 0, 200, 0, 128, 0, 128, 0, 1, 1, 200, 0, 0, 0}));
  script->replies.push_back(Le16Frame(16384, 3));
  EXPECT_TRUE(ReadGuideBox(*state, host, 2000, true));
  EXPECT_EQ(Written(1), (Bytes{0x40, 3, 3, 0, 0, 0, 10, 0, 0, 0, 136, 0, 0, 1, 0, 1, 2, 2}));
  EXPECT_EQ(script->readSizes, (std::vector<std::size_t>{32768, 32768}));
  EXPECT_EQ(state->images.workImage[16383], 3 + 16383);
}

TEST_F(CameraCommands, GuiderChannel) {
  script->replies.push_back(Bytes(500, 1));
  EXPECT_TRUE(FlushGuider(*state, host));
  EXPECT_EQ(Written(0), (Bytes{0x40, 3, 3, 0, 1, 0, 10, 0, 0, 0, 0, 0, 0xF4, 0x01, 1, 0, 1, 1}));

  Bytes frame(500 * 290);
  for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i % 251);
  script->replies.push_back(frame);
  EXPECT_TRUE(ReadGuiderFrame(*state, host, 1500));
  EXPECT_EQ(script->readSizes[1], 145000u);
  EXPECT_EQ(state->images.guideImage[250], (250 % 251) * 256);

  // The second guider type, binned: a quarter of 376 x 290 bytes.
  state->settings.guiderCameraType = 'x';
  state->settings.guiderBin2x2 = true;
  script->replies.push_back(Bytes(376 * 290 / 4, 8));
  EXPECT_TRUE(ReadGuiderFrame(*state, host, 1500));
  EXPECT_EQ(GetLe16(&Written(2)[12]), 376);
  EXPECT_EQ(Written(2)[16], 2);
  EXPECT_EQ(script->readSizes[2], 376u * 290 / 4);
  EXPECT_EQ(state->images.guideImage[1], 8 * 256);
}

TEST_F(CameraCommands, SerialRelayAndTelescopeReplies) {
  EXPECT_TRUE(SerialWrite(*state, host, 0, std::string_view("#:MS#")));
  EXPECT_EQ(Written(0), (Bytes{0x40, 10, 0, 0, 0, 0, 5, 0, '#', ':', 'M', 'S', '#'}));

  // "0": the slew was accepted; no 33-byte read, second reply emptied.
  state->camera.secondTelescopeReply = "old";
  state->settings.telescopePort = '2';  // the telescope on camera port 1
  script->replies.push_back({'0'});
  EXPECT_TRUE(ReadSlewReply(*state, host));
  EXPECT_EQ(script->readSizes, (std::vector<std::size_t>{1}));
  EXPECT_EQ(Written(1), (Bytes{0x40, 11, 0, 0, 1, 0, 1, 0}));
  EXPECT_EQ(state->camera.secondTelescopeReply, "");

  script->replies.push_back({'1'});
  Bytes text(33, ' ');
  const std::string below = "1Object below horizon#";
  std::copy(below.begin(), below.end(), text.begin());
  script->replies.push_back(text);
  EXPECT_TRUE(ReadSlewReply(*state, host));
  EXPECT_EQ(script->readSizes.back(), 33u);
  EXPECT_EQ(state->camera.secondTelescopeReply, "1Object below horizon");
}

TEST_F(CameraCommands, AdaptiveOpticsEcho) {
  state->settings.aoPortChoice = 1;
  script->replies.push_back({'H'});
  EXPECT_TRUE(WriteAoPacket(*state, host, clock, "H"));
  EXPECT_TRUE(host.boxes.empty());
  script->replies.push_back({'X'});
  EXPECT_FALSE(WriteAoPacket(*state, host, clock, "H"));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Return from AO - X");
  // A move packet is not answered.
  const std::size_t reads = script->readSizes.size();
  EXPECT_TRUE(WriteAoPacket(*state, host, clock, "GN00001"));
  EXPECT_EQ(script->readSizes.size(), reads);
  // Guide-output mode sends the first byte on the guide outputs.
  script->written.clear();
  state->settings.aoMode = true;
  EXPECT_TRUE(WriteAoPacket(*state, host, clock, "\x0B"));
  EXPECT_EQ(Written(0), (Bytes{0x40, 9, 11, 0, 0, 0, 0, 0}));
}

TEST_F(CameraCommands, CoolerAndFirmware) {
  script->replies.push_back({10, 0, 3, 0});
  EXPECT_TRUE(ReadFirmwareVersion(*state, host));
  EXPECT_FALSE(state->camera.coolerAvailable);
  // Without the cooler nothing is sent.
  EXPECT_TRUE(UpdateCooler(*state, host));
  EXPECT_EQ(script->written.size(), 1u);

  state->camera.coolerAvailable = true;
  script->replies.push_back({11, 0, 0, 0});
  EXPECT_TRUE(ReadFirmwareVersion(*state, host));
  EXPECT_TRUE(state->camera.coolerAvailable);

  state->camera.coolingOn = true;
  state->settings.derived.coolerSetpointC = -40;
  script->replies.push_back({0xD8, 0x09, 0});
  EXPECT_TRUE(UpdateCooler(*state, host));
  EXPECT_EQ(script->written.back(), (Bytes{0x40, 30, 0x1A, 0x09, 1, 0, 0, 0}));
  EXPECT_EQ(state->camera.actualTemperatureC, -21);

  // Cooling off in maximum-cooling mode only reads the temperature.
  state->camera.coolingOn = false;
  state->settings.maximumCooling = true;
  script->replies.push_back({0xD8, 0x09, 0});
  EXPECT_TRUE(UpdateCooler(*state, host));
  EXPECT_EQ(script->written.back(), (Bytes{0x40, 31, 0, 0, 0, 0, 0, 0}));

  // The camera dialog's own reads keep off a camera that a run, the focus
  // loop, main-camera guiding or the monitor is using.
  const std::size_t sent = script->written.size();
  for (bool* busy : {&state->camera.exposureRunning, &state->guiding.mainGuidingRunning, &state->camera.monitoring}) {
    *busy = true;
    EXPECT_EQ(ReadCoolerForDialog(*state, host), CoolerRead::Skipped);
    *busy = false;
  }
  EXPECT_EQ(script->written.size(), sent);
  script->replies.push_back({0xE2, 0x09, 0});
  EXPECT_EQ(ReadCoolerForDialog(*state, host), CoolerRead::Read);
  EXPECT_EQ(state->camera.actualTemperatureC, -20);
  EXPECT_EQ(ReadCoolerForDialog(*state, host), CoolerRead::Failed);  // no reply
}

TEST_F(CameraCommands, CoolerIsNeverSentASetPointOutsideItsRange) {
  state->camera.coolingOn = true;
  // Maximum cooling switched on by the settings file: the set point did not follow.
  state->settings.maximumCooling = true;
  state->settings.derived.coolerSetpointC = 0;
  script->replies.push_back({0xD8, 0x09, 0});
  EXPECT_TRUE(UpdateCooler(*state, host));
  EXPECT_EQ(script->written.back(), (Bytes{0x40, 30, 0x1A, 0x09, 1, 0, 0, 0}));  // -40: 2330
  EXPECT_EQ(state->settings.derived.coolerSetpointC, -40);
  // A saved set point from a damaged file is kept to -40..35.
  state->settings.maximumCooling = false;
  state->settings.derived.coolerSetpointC = -300;
  script->replies.push_back({0xD8, 0x09, 0});
  EXPECT_TRUE(UpdateCooler(*state, host));
  EXPECT_EQ(GetLe16(&script->written.back()[2]), 2330);
  state->settings.derived.coolerSetpointC = 400;
  script->replies.push_back({0xD8, 0x09, 0});
  EXPECT_TRUE(UpdateCooler(*state, host));
  EXPECT_EQ(GetLe16(&script->written.back()[2]), 35 * 10 + 2730);
}

TEST_F(CameraCommands, K7NeverHasTheCooler) {
  UseModel(7);
  script->replies.push_back({20, 0, 1, 0});
  EXPECT_TRUE(ReadFirmwareVersion(*state, host));
  EXPECT_FALSE(state->camera.coolerAvailable);
}

TEST_F(CameraCommands, FilterWheelOverUsbWrapsAtTheCount) {
  auto wheel = std::make_shared<test::DeviceScript>();
  state->camera.link.filterWheel = std::make_unique<test::ScriptedWheel>(wheel);
  state->camera.link.filterWheelAttached = true;
  state->settings.filterCount = 5;
  for (int i = 0; i < 4; ++i) wheel->replies.push_back({0, 0, 0});
  state->camera.filterPosition = 1;
  EXPECT_TRUE(FilterPrev(*state, host, clock));
  EXPECT_EQ(state->camera.filterPosition, 5);
  EXPECT_EQ(wheel->written.back(), (Bytes{0, 0x85, 0}));
  EXPECT_EQ(wheel->readSizes.back(), 3u);
  EXPECT_TRUE(FilterNext(*state, host, clock));
  EXPECT_EQ(state->camera.filterPosition, 1);
  EXPECT_TRUE(FilterNext(*state, host, clock));
  EXPECT_EQ(state->camera.filterPosition, 2);
  EXPECT_TRUE(FilterFirst(*state, host, clock));
  EXPECT_EQ(wheel->written.back(), (Bytes{0, 0x81, 0}));
  // A failed read is reported; the position stays changed.
  EXPECT_FALSE(FilterNext(*state, host, clock));
  EXPECT_EQ(state->camera.filterPosition, 2);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.back().text, "Error 5 trying to read QelIO data from USB Filterwheel\n");
}

TEST_F(CameraCommands, FilterWheelOverTheSerialRelay) {
  // The wheel takes the camera serial port the telescope leaves free: Com2
  // (port 1) with the telescope on Com1, whatever port the AO unit uses.
  state->settings.telescopePort = '1';
  state->settings.aoPortChoice = 0;
  state->camera.filterPosition = 3;
  EXPECT_TRUE(SelectFilter(*state, host, clock));
  EXPECT_EQ(Written(0), (Bytes{0x40, 10, 0, 0, 1, 0, 4, 0, 0xA5, 0x01, 3, 0xA9}));
  EXPECT_TRUE(script->readSizes.empty());
  // Telescope on Com2: the wheel is on Com1 (port 0).
  state->settings.telescopePort = '2';
  state->settings.aoPortChoice = 2;
  EXPECT_TRUE(SelectFilter(*state, host, clock));
  EXPECT_EQ(Written(1), (Bytes{0x40, 10, 0, 0, 0, 0, 4, 0, 0xA5, 0x01, 3, 0xA9}));
  // Telescope on the computer's port: the wheel is on Com2.
  state->settings.telescopePort = '3';
  state->settings.aoPortChoice = 1;
  EXPECT_TRUE(SelectFilter(*state, host, clock));
  EXPECT_EQ(Written(2)[4], 1);
  // Position 8 has no command: nothing is sent.
  state->settings.filterCount = 8;
  state->camera.filterPosition = 7;
  script->written.clear();
  EXPECT_FALSE(FilterNext(*state, host, clock));
  EXPECT_EQ(state->camera.filterPosition, 8);
  EXPECT_TRUE(script->written.empty());
}

TEST_F(CameraCommands, FilterWheelOnTheComputersPortSendsNothingToTheCamera) {
  // Serial path 3: the command goes out of the computer's own port, which
  // this bus lacks; the camera relay is not used.
  state->settings.aoPortChoice = 3;
  state->camera.filterPosition = 2;
  EXPECT_FALSE(SelectFilter(*state, host, clock));
  EXPECT_TRUE(script->written.empty());
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes.back().text, "Open Communications Failed");
}

TEST_F(CameraCommands, EveryMoveOfTheSetPointIsSaved) {
  ProgramState& s = *state;
  const std::string file = SettingsFilePath(s.paths);
  std::filesystem::remove(file);
  EXPECT_TRUE(MoveSetpoint(s, host, -12));
  ProgramSettings loaded;
  ASSERT_EQ(LoadSettings(loaded, s.paths, host), SettingsStatus::Ok);
  EXPECT_EQ(loaded.savedCoolingSetpoint, -12);
  // Maximum cooling holds the set point: nothing moves, nothing is written.
  SetMaximumCooling(s, true);
  std::filesystem::remove(file);
  EXPECT_FALSE(MoveSetpoint(s, host, 5));
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(CameraCommands, CoolingSwitchAndMaximumCooling) {
  ProgramState& s = *state;
  ToggleCooling(s);
  EXPECT_TRUE(s.camera.coolingOn);
  ToggleCooling(s);
  EXPECT_FALSE(s.camera.coolingOn);
  SetMaximumCooling(s, true);
  EXPECT_EQ(s.settings.derived.coolerSetpointC, -40);
  EXPECT_FALSE(MoveSetpoint(s, host, 0));
  ToggleCooling(s);
  ToggleCooling(s);
  EXPECT_TRUE(s.camera.coolingOn);  // maximum cooling keeps it on
  SetMaximumCooling(s, false);
  EXPECT_EQ(s.settings.derived.coolerSetpointC, -40);  // until moved
  EXPECT_TRUE(MoveSetpoint(s, host, 50));
  EXPECT_EQ(s.settings.derived.coolerSetpointC, 35);
  EXPECT_EQ(s.settings.savedCoolingSetpoint, 35);
  // Without the cooler, "Cooling On" only ever switches on.
  s.camera.coolerAvailable = false;
  ToggleCooling(s);
  EXPECT_TRUE(s.camera.coolingOn);
}

// A host whose user presses a mouse button after some rounds.
class PressAfter final : public NullHost {
 public:
  explicit PressAfter(int rounds) : rounds_(rounds) {}
  InputEvents pumpEvents() override {
    InputEvents e;
    e.rightButtonPressed = ++pumps > rounds_;
    return e;
  }
  void requestRepaint() override { ++repaints; }
  int pumps = 0, repaints = 0;

 private:
  int rounds_;
};

TEST_F(CameraCommands, MonitorRepaintsEveryHalfSecondUntilAButtonPress) {
  for (int i = 0; i < 3; ++i) script->replies.push_back({0xD8, 0x09, 0});
  PressAfter press(3);
  std::vector<std::string> captions;
  auto record = [](void* context, const char* caption) {
    static_cast<std::vector<std::string>*>(context)->push_back(caption);
  };
  const std::uint32_t start = clock.nowMs;
  MonitorCooler(*state, press, clock, record, &captions);
  EXPECT_EQ(press.repaints, 3);
  EXPECT_GE(clock.nowMs - start, 4 * 500u);
  EXPECT_EQ(script->written.size(), 3u);
  EXPECT_FALSE(state->camera.monitoring);
  EXPECT_EQ(captions, (std::vector<std::string>{"Monitoring", "Monitor"}));
  EXPECT_EQ(state->camera.actualTemperatureC, -21);
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST_F(CameraCommands, SecondMonitorPressStopsAWaitingMonitor) {
  state->camera.monitoring = true;  // a monitor loop further up the stack
  std::vector<std::string> captions;
  MonitorCooler(
      *state, host, clock, [](void* c, const char* t) { static_cast<std::vector<std::string>*>(c)->push_back(t); },
      &captions);
  EXPECT_FALSE(state->camera.monitoring);
  EXPECT_EQ(captions, (std::vector<std::string>{"Monitor"}));
  EXPECT_TRUE(script->written.empty());
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST_F(CameraCommands, MonitorStepsEveryHalfSecondUntilAMousePress) {
  for (int i = 0; i < 2; ++i) script->replies.push_back({0xD8, 0x09, 0});
  std::vector<std::string> captions;
  CoolerMonitorOperation monitor(*state, host, [&](std::string_view c) { captions.emplace_back(c); });
  WakeTime wake = monitor.start(1'000);
  EXPECT_EQ(wake, 1'500u);
  EXPECT_TRUE(state->camera.monitoring);
  // Each step refreshes the cooler under the wait cursor and repaints; a key
  // press is the window's business and does not end the monitor.
  monitor.input(OperationInput::KeyPress);
  wake = monitor.step(*wake);
  EXPECT_EQ(wake, 2'000u);
  wake = monitor.step(*wake);
  EXPECT_EQ(host.repaints, 2);
  EXPECT_EQ(host.waitCursorDepth, 0);
  EXPECT_EQ(script->written.size(), 2u);
  EXPECT_EQ(state->camera.actualTemperatureC, -21);
  // A right press ends it at the next step, without another refresh.
  monitor.input(OperationInput::RightButtonPress);
  EXPECT_FALSE(monitor.step(*wake));
  EXPECT_EQ(script->written.size(), 2u);
  EXPECT_FALSE(state->camera.monitoring);
  EXPECT_EQ(captions, (std::vector<std::string>{"Monitoring", "Monitor"}));
}

TEST_F(CameraCommands, SecondMonitorEndsTheRunningOneAtItsNextStep) {
  std::vector<std::string> captions;
  auto recordAs = [&](std::string who) {
    return [&captions, who](std::string_view c) { captions.push_back(who + ' ' + std::string(c)); };
  };
  CoolerMonitorOperation first(*state, host, recordAs("1"));
  CoolerMonitorOperation second(*state, host, recordAs("2"));
  const WakeTime wake = first.start(0);
  EXPECT_FALSE(second.start(100));  // the second press: finished at once
  EXPECT_FALSE(first.step(*wake));
  EXPECT_TRUE(script->written.empty());
  EXPECT_EQ(captions, (std::vector<std::string>{"1 Monitoring", "2 Monitor", "1 Monitor"}));
  // Cancelling a running monitor leaves it as a press does.
  CoolerMonitorOperation third(*state, host);
  ASSERT_TRUE(third.start(0));
  third.cancel();
  EXPECT_FALSE(state->camera.monitoring);
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST(DeviceBus, MadeOnceByTheStartUpChoiceElseEmpty) {
  test::TempDir dir;
  test::TestClock clock;
  test::RecordingHost host;
  auto state = std::make_unique<ProgramState>();
  state->paths.root = dir.str();
  // No choice made: a bus without devices, and the search says so.
  EXPECT_FALSE(ConnectCamera(*state, *DeviceBus(*state, clock), host, clock));
  EXPECT_FALSE(host.boxes.empty());

  static int made = 0;
  static int typeAsked = 0;
  auto other = std::make_unique<ProgramState>();
  other->settings.cameraType = 4;
  other->camera.link.makeBus = [](int cameraType, Clock& c) {
    ++made;
    typeAsked = cameraType;
    return DeviceBus(*std::make_unique<ProgramState>(), c);  // any bus will do
  };
  const auto first = DeviceBus(*other, clock);
  EXPECT_EQ(DeviceBus(*other, clock), first);
  EXPECT_EQ(made, 1);
  EXPECT_EQ(typeAsked, 4);
}

}  // namespace
}  // namespace qv
