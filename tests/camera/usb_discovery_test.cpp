#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/program_state.h"
#include "app/settings_file.h"
#include "camera/scripted_devices.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/test_clock.h"

namespace qv {
namespace {

using test::Present;

class UsbDiscovery : public ::testing::Test {
 protected:
  UsbDiscovery() {
    state->paths.root = dir.str();
    state->settings.ShowInterfaceDetails = false;
  }
  int Search() {
    UsbSearchContext context{state->settings, state->camera, state->geometry, state->paths, host};
    return OpenCameraDevice(state->camera.link, bus, context, record);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& b : host.boxes) texts.push_back(b.text);
    return texts;
  }

  test::TempDir dir;
  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;
  test::TestClock clock;
  test::ScriptedBus bus;
  EnumerationRecord record;
};

TEST_F(UsbDiscovery, PidInTheTableSelectsTheModelBeforeOpening) {
  state->settings.ShowInterfaceDetails = true;
  bus.cameras[3] = Present("\\\\?\\usb#vid_5310&pid_0612#x#{g}");
  EXPECT_EQ(Search(), 1);
  EXPECT_TRUE(state->camera.link.cameraAttached);
  EXPECT_EQ(state->camera.model.name, "K1C");
  EXPECT_EQ(state->geometry.sensorWidth, 1392);
  EXPECT_EQ(state->settings.cameraPid, "0612");
  EXPECT_EQ(record[3].vendorId, 0x5310);
  EXPECT_EQ(record[3].manufacturer, "Maker");
  EXPECT_EQ(record[3].product, "- not present -");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].caption, "QEL_VESK_USB");
  EXPECT_NE(host.boxes[0].text.find("Camera Found, \nQelIO =     42\nO/S = "), std::string::npos);
  EXPECT_NE(host.boxes[0].text.find("\nPID = 0612"), std::string::npos);
}

TEST_F(UsbDiscovery, GapsInMemberIndexesDoNotEndTheSearch) {
  bus.cameras[0] = Present("\\\\?\\usb#vid_1234&pid_0612#a");  // another maker
  bus.cameras[19] = Present("\\\\?\\usb#vid_5310&pid_0616#b");
  EXPECT_EQ(Search(), 1);
  EXPECT_TRUE(state->camera.link.cameraAttached);
  EXPECT_EQ(state->camera.model.name, "K4C");
  ASSERT_EQ(bus.opened.size(), 1u);
  EXPECT_EQ(bus.opened[0], "\\\\?\\usb#vid_5310&pid_0616#b");
  EXPECT_EQ(record[0].vendorId, 0);
}

TEST_F(UsbDiscovery, UnknownPidIsSkippedUnlessIgnored) {
  bus.cameras[0] = Present("\\\\?\\usb#vid_5310&pid_0619#a");
  state->settings.cameraType = 2;
  EXPECT_EQ(SetCameraType(state->settings, state->camera, state->geometry, state->paths), SettingsStatus::Ok);
  EXPECT_EQ(Search(), 1);
  EXPECT_FALSE(state->camera.link.cameraAttached);
  EXPECT_TRUE(bus.opened.empty());
  EXPECT_EQ(Texts(), (std::vector<std::string>{"USB QelIO device not found"}));

  host.boxes.clear();
  state->settings.IgnoreCameraVidPid = true;
  EXPECT_EQ(Search(), 1);
  EXPECT_TRUE(state->camera.link.cameraAttached);
  EXPECT_EQ(state->camera.model.name, "K2C");  // the previous type
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Attached Camera is not supported"}));
}

TEST_F(UsbDiscovery, NoCameraReportsBothMessagesAndConnectFails) {
  bus.hids[0] = Present("\\\\?\\hid#vid_046d&pid_c31c#k");
  EXPECT_FALSE(ConnectCamera(*state, bus, host, clock));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"USB QelIO device not found", "Sorry, No camera found on USB"}));
  EXPECT_FALSE(state->camera.link.cameraAttached);
}

TEST_F(UsbDiscovery, SearchFailures) {
  bus.listFails = true;
  EXPECT_EQ(Search(), 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Could not attach to PnP node"}));
  host.boxes.clear();
  bus.listFails = false;
  bus.cameras[2] = BusMember{BusMember::Kind::NoPath, ""};
  bus.cameras[4] = Present("\\\\?\\usb#vid_5310&pid_0612#a");
  EXPECT_EQ(Search(), 0);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Could not find the system name for this HID device");
  EXPECT_EQ(host.boxes[0].caption, "Error");
  EXPECT_EQ(host.boxes[0].icon, MessageIcon::Stop);
  EXPECT_FALSE(state->camera.link.cameraAttached);
}

TEST_F(UsbDiscovery, DevicesThatCannotBeOpenedEndTheSearchAtOnce) {
  bus.openFails = true;
  bus.cameras[0] = Present("\\\\?\\usb#vid_5310&pid_0612#a");
  bus.cameras[1] = Present("\\\\?\\usb#vid_5310&pid_0616#b");
  EXPECT_EQ(Search(), 0);
  EXPECT_EQ(bus.opened.size(), 1u);
  ASSERT_EQ(host.boxes.size(), 1u);  // no "not found" after it
  EXPECT_EQ(host.boxes[0].text, "Could not open HID device");
  EXPECT_EQ(host.boxes[0].caption, "Error");
  EXPECT_EQ(host.boxes[0].icon, MessageIcon::Stop);
  EXPECT_FALSE(state->camera.link.cameraAttached);

  host.boxes.clear();
  bus.hids[2] = Present("\\\\?\\hid#vid_5310&pid_0720#w1");
  EXPECT_EQ(OpenFilterWheelDevice(state->camera.link, bus, state->settings, host, clock), 0);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Could not open HID Filterwheel device");
  EXPECT_EQ(host.boxes[0].caption, "Error");
  EXPECT_FALSE(state->camera.link.filterWheelAttached);
}

TEST_F(UsbDiscovery, WheelProbeWriteFailureIsReported) {
  bus.hids[0] = Present("\\\\?\\hid#vid_5310&pid_0720#w1");
  bus.wheelWritesFail = true;
  bus.wheelProbeReplies = {{0, 1, 7}};
  OpenFilterWheelDevice(state->camera.link, bus, state->settings, host, clock);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_EQ(host.boxes[0].text, "Could not write to USB Filterwheel - try rebooting USB device");
  EXPECT_EQ(host.boxes[0].caption, "QEL_VESK_USB");
}

TEST_F(UsbDiscovery, WheelsAreAllProbedAndTheLastKept) {
  bus.hids[1] = Present("\\\\?\\hid#vid_5310&pid_0720#w1");
  bus.hids[5] = Present("\\\\?\\hid#vid_5310&pid_0721#other");
  bus.hids[7] = Present("\\\\?\\hid#vid_5310&pid_0720#w2");
  bus.wheelProbeReplies = {{0, 1, 9}, {0, 1, 5}};
  state->settings.filterCount = 7;
  EXPECT_EQ(OpenFilterWheelDevice(state->camera.link, bus, state->settings, host, clock), 1);
  EXPECT_TRUE(state->camera.link.filterWheelAttached);
  ASSERT_EQ(bus.wheels.size(), 2u);
  EXPECT_EQ(bus.wheels[0]->written, (std::vector<test::Bytes>{{0, 0, 0}}));
  EXPECT_EQ(state->settings.filterCount, 5);  // 9 left 7, 5 lowered it
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(UsbDiscovery, WheelReportingMoreLeavesTheCount) {
  bus.hids[0] = Present("\\\\?\\hid#vid_5310&pid_0720#w1");
  bus.wheelProbeReplies = {{0, 1, 9}};
  state->settings.filterCount = 7;
  OpenFilterWheelDevice(state->camera.link, bus, state->settings, host, clock);
  EXPECT_EQ(state->settings.filterCount, 7);
  // Nor does a wheel that reports no positions.
  bus.wheelProbeReplies = {{0, 1, 0}};
  OpenFilterWheelDevice(state->camera.link, bus, state->settings, host, clock);
  EXPECT_EQ(state->settings.filterCount, 7);
}

TEST_F(UsbDiscovery, WheelProbeFailureIsReported) {
  bus.hids[0] = Present("\\\\?\\hid#vid_5310&pid_0720#w1");  // no probe answer scripted
  state->settings.filterCount = 7;
  OpenFilterWheelDevice(state->camera.link, bus, state->settings, host, clock);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Error 5 trying to read data from USB Filterwheel\n"}));
  EXPECT_EQ(state->settings.filterCount, 7);
}

TEST_F(UsbDiscovery, TransfersReportFailuresAndKeepTheReply) {
  auto script = test::AttachScriptedCamera(state->camera.link);
  UsbLink& link = state->camera.link;
  link.reply[0] = 0x77;
  script->failReads = true;
  link.transferLength = 4;
  EXPECT_FALSE(ReadCamera(link, host));
  EXPECT_EQ(link.reply[0], 0x77);
  script->failWrites = true;
  link.transferLength = 8;
  EXPECT_FALSE(WriteCamera(link, host));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Error 5 trying to read QelIO data from USB\n",
                                               "Could not write QelIO Output - try rebooting USB device"}));
  // A transfer longer than the buffers is refused, not made.
  link.transferLength = kReplyBufferBytes + 1;
  EXPECT_FALSE(ReadCamera(link, host));
  CloseUsbDevices(link);
  link.transferLength = 8;
  EXPECT_FALSE(WriteCamera(link, host));
}

TEST_F(UsbDiscovery, TheSettingsFileIsWrittenOnlyWhenTheCameraFoundIsAnotherModel) {
  const std::filesystem::path file = SettingsFilePath(state->paths);
  // The settings already name the K1C found: the search sets it up and
  // leaves the file alone (here: does not create it).
  state->settings.cameraType = 1;
  state->settings.cameraPid = "0612";
  bus.cameras[0] = Present("\\\\?\\usb#vid_5310&pid_0612#x#{g}");
  EXPECT_EQ(Search(), 1);
  EXPECT_EQ(state->geometry.sensorWidth, 1392);
  EXPECT_FALSE(std::filesystem::exists(file));

  // Another model found: it is set up and saved, as the program always did.
  CloseUsbDevices(state->camera.link);
  bus.cameras[0] = Present("\\\\?\\usb#vid_5310&pid_0613#x#{g}");
  EXPECT_EQ(Search(), 1);
  EXPECT_EQ(state->camera.model.name, "K2C");
  ASSERT_TRUE(std::filesystem::exists(file));
  ProgramSettings read;
  ASSERT_EQ(ReadSettingsFileOnly(read, state->paths), SettingsStatus::Ok);
  EXPECT_EQ(read.cameraType, 2);
}

}  // namespace
}  // namespace qv
