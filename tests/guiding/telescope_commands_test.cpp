#include "guiding/telescope_commands.h"

#include <gtest/gtest.h>

#include <memory>

#include "guiding/guide_socket.h"
#include "guiding/serial_link.h"
#include "guiding/serial_script.h"
#include "support/recording_host.h"
#include "support/test_clock.h"

namespace qv {
namespace {

using test::Read;
using test::Sent;
using Events = std::vector<test::SerialEvent>;

test::Bytes Reply33(std::string_view text) {
  test::Bytes b(33, 0);
  std::copy(text.begin(), text.end(), b.begin());
  return b;
}

class Telescope : public ::testing::Test {
 protected:
  void SetUp() override { script = test::AttachScriptedCamera(state->camera.link); }
  Events Relay() const { return test::RelayEvents(*script); }
  // Puts the computer's port on the link, not yet opened.
  void UsePcPort() {
    state->settings.aoPortChoice = 3;
    state->camera.link.pcSerial = std::make_unique<test::ScriptedPcPort>(pc);
    state->camera.link.pcSerialOpen = false;
  }

  std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
  test::RecordingHost host;
  test::TestClock clock;
  std::shared_ptr<test::DeviceScript> script;
  std::shared_ptr<test::PcPortScript> pc = std::make_shared<test::PcPortScript>();
};

TEST_F(Telescope, GuidePulseIsRateMoveQuitEvenAtZeroMs) {
  EXPECT_TRUE(LxGuidePulse(*state, host, clock, 'n', 0));
  EXPECT_EQ(Relay(), (Events{Sent(0, "#:RG#"), Sent(0, "#:Mn#"), Sent(0, "#:Qn#")}));
  // Com2 is camera port 1.
  script->written.clear();
  state->settings.telescopePort = '2';
  EXPECT_TRUE(LxGuidePulse(*state, host, clock, 'w', 250));
  EXPECT_EQ(Relay(), (Events{Sent(1, "#:RG#"), Sent(1, "#:Mw#"), Sent(1, "#:Qw#")}));
}

TEST_F(Telescope, RoutesByPortChoice) {
  state->settings.telescopePort = '1';
  state->settings.aoPortChoice = 1;
  EXPECT_EQ(TelescopeRoute(state->settings), 0);
  EXPECT_EQ(AoRoute(state->settings), 1);  // "Ser 1"
  state->settings.aoPortChoice = 0;
  EXPECT_EQ(AoRoute(state->settings), 0);  // "Ser 2"
  state->settings.telescopePort = '2';
  EXPECT_EQ(TelescopeRoute(state->settings), 1);
  state->settings.telescopePort = '3';  // "Use PC Port"
  EXPECT_EQ(TelescopeRoute(state->settings), kPcSerialRoute);
  state->settings.telescopePort = '1';
  state->settings.aoPortChoice = 3;  // "PC "
  EXPECT_EQ(TelescopeRoute(state->settings), kPcSerialRoute);
  EXPECT_EQ(AoRoute(state->settings), kPcSerialRoute);
}

TEST_F(Telescope, GoToMessierReadsTheObjectThenTheSlewReply) {
  script->replies.push_back(Reply33("M110 MAG 8.1#"));
  script->replies.push_back({'0'});
  state->camera.secondTelescopeReply = "old";
  EXPECT_TRUE(GoToCatalogueNumber(*state, host, clock, 110, 0));
  EXPECT_EQ(Relay(), (Events{Sent(0, "#:LM 0110#"), Sent(0, "#:LI#"), Read(0, 33), Sent(0, "#:MS#"), Read(0, 1)}));
  EXPECT_EQ(state->camera.telescopeReply, "M110 MAG 8.1");
  EXPECT_EQ(state->camera.secondTelescopeReply, "");
  EXPECT_EQ(host.beeps, 1);
}

TEST_F(Telescope, CatalogueChoiceAndRanges) {
  // Both numbers given: the Messier number wins.
  script->replies = {Reply33("#"), {'0'}};
  EXPECT_TRUE(GoToCatalogueNumber(*state, host, clock, 5, 7000));
  EXPECT_EQ(Relay()[0], Sent(0, "#:LM 0005#"));
  script->written.clear();
  script->replies = {Reply33("#"), {'0'}};
  EXPECT_TRUE(GoToCatalogueNumber(*state, host, clock, 0, 7815));
  EXPECT_EQ(Relay()[0], Sent(0, "#:LC 7815#"));
  script->written.clear();
  script->replies = {Reply33("#"), {'0'}};
  EXPECT_TRUE(GoToObject(*state, host, clock, 'S', *PlanetStarNumber("mars")));
  EXPECT_EQ(Relay()[0], Sent(0, "#:LS 0904#"));

  // Out of range: the box, and nothing goes to the telescope.
  script->written.clear();
  for (const auto& [messier, cngc] : {std::pair{111, 0}, std::pair{0, 7816}, std::pair{-1, 0}}) {
    host.boxes.clear();
    EXPECT_FALSE(GoToCatalogueNumber(*state, host, clock, messier, cngc));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].caption, "Qel_K8 - Control Telescope");
    EXPECT_EQ(host.boxes[0].text, "Object out of range - try again");
  }
  EXPECT_TRUE(script->written.empty());
  EXPECT_FALSE(PlanetStarNumber("earth"));
}

TEST_F(Telescope, GoToCoordinatesSendsTheSetCommandsWithoutTheirClosingHash) {
  script->replies = {Reply33("NO OBJECT#"), {'0'}};
  EXPECT_TRUE(GoToCoordinates(*state, host, clock, 5, 35, *ParseDeclination("-05*30")));
  // "#:LI#" is answered and its answer read before the slew, so it cannot
  // be taken for the slew's reply.
  EXPECT_EQ(Relay(), (Events{Sent(0, "#:Sr 05:35.0"), Sent(0, "#:Sd -05*30"), Sent(0, "#:LI#"), Read(0, 33),
                             Sent(0, "#:MS#"), Read(0, 1)}));
  EXPECT_EQ(state->camera.telescopeReply, "NO OBJECT");
}

TEST_F(Telescope, DeclinationSignComesFromTheText) {
  script->replies = {Reply33("#"), {'0'}};
  EXPECT_TRUE(GoToCoordinates(*state, host, clock, 0, 0, *ParseDeclination("-0*30")));
  EXPECT_EQ(Relay()[1], Sent(0, "#:Sd -00*30"));
  script->written.clear();
  script->replies = {Reply33("#"), {'0'}};
  EXPECT_TRUE(GoToCoordinates(*state, host, clock, 23, 59, *ParseDeclination("89*59")));
  EXPECT_EQ(Relay()[0], Sent(0, "#:Sr 23:59.0"));
  EXPECT_EQ(Relay()[1], Sent(0, "#:Sd +89*59"));
  EXPECT_FALSE(ParseDeclination("5"));
  EXPECT_FALSE(ParseDeclination("-5*"));
  EXPECT_FALSE(ParseDeclination("x5*10"));
}

TEST_F(Telescope, CoordinatesOutOfRangeShowTheBoxAndSendNothing) {
  struct Case {
    int hours, minutes;
    const char* dec;
    bool ok;
  };
  for (const Case& c : {Case{0, 0, "-89*59", true}, Case{0, 0, "-90*00", false}, Case{24, 0, "+00*00", false},
                        Case{0, 60, "+00*00", false}, Case{0, 0, "+10*60", false}, Case{-1, 0, "+00*00", false}}) {
    EXPECT_EQ(CoordinatesInRange(c.hours, c.minutes, *ParseDeclination(c.dec)), c.ok) << c.dec;
  }
  EXPECT_FALSE(GoToCoordinates(*state, host, clock, 0, 0, *ParseDeclination("-90*00")));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].caption, "Lum_T4 - Control Telescope");
  EXPECT_EQ(host.boxes[0].text,
            "Invalid Co-ordinates set.\n\nRange is R.A. 0hr 00min, to 23hr 59mins\n        Dec  -89deg 00min, to "
            "+89deg 59mins");
  EXPECT_TRUE(script->written.empty());
}

TEST_F(Telescope, SlewRefusalIsKeptAsTheLastReply) {
  script->replies = {{'1'}, Reply33("1Object below horizon#")};
  EXPECT_TRUE(ReadSlewReply(*state, host));
  EXPECT_EQ(Relay(), (Events{Read(0, 1), Read(0, 33)}));
  EXPECT_EQ(state->camera.secondTelescopeReply, "1Object below horizon");
}

TEST_F(Telescope, FailedFirstReadGoesOnWithTheBuffer) {
  // No answer at all: the buffer still holds "0" from before, so the slew
  // counts as accepted; the failure is still returned.
  state->camera.link.reply[0] = '0';
  state->camera.secondTelescopeReply = "old";
  EXPECT_FALSE(ReadSlewReply(*state, host));
  EXPECT_EQ(state->camera.secondTelescopeReply, "");
}

TEST_F(Telescope, HandSlewSendsRateAndMoveOnceAndAllQuitsOnRelease) {
  SetSlewRate(*state, 'M');
  EXPECT_TRUE(StartSlew(*state, host, clock, SkyDirection::North));
  EXPECT_FALSE(StartSlew(*state, host, clock, SkyDirection::East));  // a second press sends nothing
  EXPECT_TRUE(StopSlew(*state, host, clock));
  EXPECT_FALSE(StopSlew(*state, host, clock));
  EXPECT_EQ(Relay(), (Events{Sent(0, "#:RM#"), Sent(0, "#:Mn#"), Sent(0, "#:Qn#"), Sent(0, "#:Qs#"), Sent(0, "#:Qe#"),
                             Sent(0, "#:Qw#")}));
}

TEST_F(Telescope, DirectionLettersMapByMeaningAndSwap) {
  // The letters are laid out north, south, east, west.
  ProgramSettings& s = state->settings;
  auto letters = [&] {
    std::string out;
    for (SkyDirection d : {SkyDirection::North, SkyDirection::South, SkyDirection::East, SkyDirection::West}) {
      out += DriveLetter(s, d);
    }
    return out;
  };
  EXPECT_EQ(letters(), "nsew");
  s.driveDirections = {'s', 'n', 'e', 'w'};  // "Swap n/s direction"
  EXPECT_EQ(letters(), "snew");
  s.driveDirections = {'n', 's', 'w', 'e'};  // "Swap e/w direction"
  EXPECT_EQ(letters(), "nswe");
  // Drift corrections by the sign of the error, with e/w swapped.
  EXPECT_EQ(CorrectionLetter(s, true, 2), 'n');
  EXPECT_EQ(CorrectionLetter(s, true, -1), 's');
  EXPECT_EQ(CorrectionLetter(s, false, 3), 'w');
  EXPECT_EQ(CorrectionLetter(s, false, -3), 'e');
  // The hand controls follow the swap.
  EXPECT_TRUE(StartSlew(*state, host, clock, SkyDirection::East));
  EXPECT_EQ(Relay()[1], Sent(0, "#:Mw#"));
}

TEST_F(Telescope, FocusSpeedThenDirectionAndQuit) {
  SetFocusSpeed(*state, true);
  EXPECT_TRUE(StartFocus(*state, host, clock, true));
  EXPECT_FALSE(StartFocus(*state, host, clock, false));
  EXPECT_TRUE(StopFocus(*state, host, clock));
  SetFocusSpeed(*state, false);
  EXPECT_TRUE(StartFocus(*state, host, clock, false));
  EXPECT_EQ(Relay(),
            (Events{Sent(0, "#:FF#"), Sent(0, "#:F+#"), Sent(0, "#:FQ#"), Sent(0, "#:FS#"), Sent(0, "#:F-#")}));
}

TEST_F(Telescope, SocketPulsesAndHandMoves) {
  EXPECT_TRUE(SocketPulse(*state, host, clock, SkyDirection::North, 0));
  EXPECT_TRUE(SocketPulse(*state, host, clock, SkyDirection::West, 100));
  EXPECT_TRUE(SocketStartMove(*state, host, clock, SkyDirection::East));
  EXPECT_FALSE(SocketStartMove(*state, host, clock, SkyDirection::South));
  EXPECT_TRUE(SocketStopMove(*state, host));
  EXPECT_TRUE(SocketStartMove(*state, host, clock, SkyDirection::South));
  EXPECT_EQ(test::GuideOutputs(*script), (std::vector<int>{4, 0, 1, 0, 8, 0, 2}));
}

TEST_F(Telescope, ComputersPortCarriesTheTelescope) {
  UsePcPort();
  state->settings.aoComPort = 4;
  pc->replies = {"M1 MAG 8.4#", "0"};
  EXPECT_TRUE(GoToCatalogueNumber(*state, host, clock, 1, 0));
  EXPECT_TRUE(script->written.empty());
  EXPECT_EQ(pc->openedPort, 4);
  EXPECT_EQ(pc->events, (Events{Sent(3, "#:LM 0001#"), Sent(3, "#:LI#"), Read(3, 50), Sent(3, "#:MS#"), Read(3, 50)}));
  EXPECT_EQ(state->camera.telescopeReply, "M1 MAG 8.4");
  EXPECT_EQ(state->camera.secondTelescopeReply, "");

  // No answer: a clear message, the last reply stays as it was.
  state->camera.secondTelescopeReply = "kept";
  EXPECT_FALSE(ReadSlewReply(*state, host));
  EXPECT_EQ(state->camera.secondTelescopeReply, "kept");
  EXPECT_EQ(host.boxes.back().text, "No reply from the telescope");
}

TEST_F(Telescope, ComputersPortThatWillNotOpenIsTriedAgain) {
  UsePcPort();
  pc->openResult = -5;
  EXPECT_FALSE(LxGuidePulse(*state, host, clock, 'e', 0));
  ASSERT_GE(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].text, "ERROR -5 ");
  EXPECT_EQ(host.boxes[1].text, "Open Communications Failed");
  EXPECT_TRUE(pc->events.empty());
  const int opens = pc->opens;
  pc->openResult = 0;
  EXPECT_TRUE(LxGuidePulse(*state, host, clock, 'e', 0));
  EXPECT_EQ(pc->opens, opens + 1);
  EXPECT_EQ(pc->events, (Events{Sent(3, "#:RG#"), Sent(3, "#:Me#"), Sent(3, "#:Qe#")}));
}

TEST_F(Telescope, ComputersPortChecksTheEchoOfH) {
  UsePcPort();
  pc->replies = {"H"};
  EXPECT_TRUE(SerialSend(*state, host, clock, kPcSerialRoute, "H"));
  pc->replies = {"X1"};
  EXPECT_FALSE(SerialSend(*state, host, clock, kPcSerialRoute, "H"));
  EXPECT_EQ(host.boxes.back().text, "Return from AO - X1");
}

TEST(SerialTrace, LinesEscapeWhatDoesNotPrint) {
  const std::uint8_t bytes[] = {'#', ':', 'M', 'S', '#', 0, '"', '\\', 0xA5};
  EXPECT_EQ(SerialTraceLine("sent", 1, bytes), "sent port=1 \"#:MS#\\x00\\\"\\\\\\xA5\"\n");
  EXPECT_EQ(SerialTraceLine("recv", kPcSerialRoute, std::span(bytes, 1)), "recv port=pc \"#\"\n");
}

}  // namespace
}  // namespace qv
