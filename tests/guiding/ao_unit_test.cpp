#include "guiding/ao_unit.h"

#include <gtest/gtest.h>

#include <memory>

#include "guiding/serial_script.h"
#include "support/recording_host.h"
#include "support/test_clock.h"

namespace qv {
namespace {

using test::Read;
using test::Sent;
using Events = std::vector<test::SerialEvent>;

class AoUnit : public ::testing::Test {
 protected:
  void SetUp() override {
    script = test::AttachScriptedCamera(state->camera.link);
    state->settings.aoPortChoice = 1;  // "Ser 1"
    state->settings.guiderDecRate = 6;
    state->settings.guiderRaRate = 8;
    state->settings.aoHalfRate = false;
  }
  Events Relay() const { return test::RelayEvents(*script); }

  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;
  test::TestClock clock;
  std::shared_ptr<test::DeviceScript> script;
};

TEST_F(AoUnit, StepsCountPerAxis) {
  GuidingState& g = state->guiding;
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::North, 1));
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::South, 4));
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::East, 12));
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::West, 2));
  EXPECT_EQ(Relay(), (Events{Sent(1, "GN00001"), Sent(1, "GS00004"), Sent(1, "GT00012"), Sent(1, "GW00002")}));
  EXPECT_EQ(g.aoNorthSouth, -3);
  EXPECT_EQ(g.aoEastWest, 10);
}

TEST_F(AoUnit, FiftyDoesNothingFiftyOneBumpsTheMount) {
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::North, 50));
  EXPECT_EQ(Relay().size(), 1u);
  clock.sleepMs(1000);
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::North, 1));
  // 400 / 6 = 66 on the declination rate.
  EXPECT_EQ(Relay(), (Events{Sent(1, "GN00050"), Sent(1, "GN00001"), Sent(1, "MN00066")}));

  script->written.clear();
  state->guiding.aoNorthSouth = -50;
  clock.sleepMs(1000);
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::West, 51));
  // Only east/west is outside: the second letter of the east/west pair, 400 / 8.
  EXPECT_EQ(Relay(), (Events{Sent(1, "GW00051"), Sent(1, "MW00050")}));
}

TEST_F(AoUnit, BumpsAreAtLeast700MsApart) {
  state->guiding.aoEastWest = 60;
  clock.sleepMs(1000);
  EXPECT_TRUE(MountBump(*state, host, clock));
  EXPECT_EQ(Relay().size(), 1u);
  clock.sleepMs(500);
  EXPECT_TRUE(MountBump(*state, host, clock));
  EXPECT_EQ(Relay().size(), 1u);  // too soon: nothing
  clock.sleepMs(300);
  EXPECT_TRUE(MountBump(*state, host, clock));
  EXPECT_EQ(Relay(), (Events{Sent(1, "MT00050"), Sent(1, "MT00050")}));
}

TEST_F(AoUnit, HalfRateSwappedPairAndARateOfZero) {
  ProgramSettings& s = state->settings;
  s.aoHalfRate = true;
  s.mountNorthSouth = {'S', 'N'};  // "Swap Mount N/S"
  s.guiderDecRate = 0;             // from a damaged settings file: counts as 1
  state->guiding.aoNorthSouth = 51;
  clock.sleepMs(1000);
  EXPECT_TRUE(MountBump(*state, host, clock));
  EXPECT_EQ(Relay(), (Events{Sent(1, "MS00200")}));
}

TEST_F(AoUnit, CentreAndReturnToCentre) {
  GuidingState& g = state->guiding;
  g.aoNorthSouth = -5;
  g.aoEastWest = 7;
  EXPECT_TRUE(ReturnAoToCentre(*state, host, clock));
  EXPECT_EQ(Relay(), (Events{Sent(1, "GN00005"), Sent(1, "GW00007")}));
  EXPECT_EQ(g.aoNorthSouth, 0);
  script->written.clear();
  g.aoNorthSouth = 3;
  EXPECT_TRUE(ReturnAoToCentre(*state, host, clock));  // a zero counter sends nothing
  EXPECT_EQ(Relay(), (Events{Sent(1, "GS00003")}));

  script->written.clear();
  g.aoNorthSouth = 9;
  g.aoEastWest = -2;
  EXPECT_TRUE(CentreAo(*state, host, clock));
  EXPECT_EQ(Relay(), (Events{Sent(1, "K")}));
  EXPECT_EQ(g.aoNorthSouth, 0);
  EXPECT_EQ(g.aoEastWest, 0);
}

TEST_F(AoUnit, AoModeUsesTheSocketCodes) {
  state->settings.aoMode = true;
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::East, 20));
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::North, 0));
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::South, 0));
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::West, 0));
  EXPECT_TRUE(CentreAo(*state, host, clock));
  EXPECT_EQ(test::GuideOutputs(*script), (std::vector<int>{7, 15, 11, 15, 13, 15, 14, 15, 15, 0}));
  EXPECT_TRUE(Relay().empty());
}

TEST_F(AoUnit, EchoOfHIsChecked) {
  script->replies.push_back({'H'});
  EXPECT_TRUE(WriteAoPacket(*state, host, clock, "H"));
  script->replies.push_back({'X'});
  EXPECT_FALSE(WriteAoPacket(*state, host, clock, "H"));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Return from AO - X");
  EXPECT_EQ(Relay(), (Events{Sent(1, "H"), Read(1, 1), Sent(1, "H"), Read(1, 1)}));
}

TEST_F(AoUnit, ComputersPortCarriesThePackets) {
  auto pc = std::make_shared<test::PcPortScript>();
  state->camera.link.pcSerial = std::make_unique<test::ScriptedPcPort>(pc);
  state->settings.aoPortChoice = 3;  // "PC "
  pc->replies = {"H"};
  EXPECT_TRUE(WriteAoPacket(*state, host, clock, "H"));
  EXPECT_TRUE(AoStep(*state, host, clock, SkyDirection::East, 3));
  EXPECT_TRUE(script->written.empty());
  EXPECT_EQ(pc->events, (Events{Sent(3, "H"), Read(3, 50), Sent(3, "GT00003")}));
}

}  // namespace
}  // namespace qv
