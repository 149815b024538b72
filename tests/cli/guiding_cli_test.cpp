// The guiding and telescope commands of qelvesk-cli against the simulator.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

constexpr auto& Cli = test::RunCliCaptured;

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The escaped zero bytes that pad a 33-byte reply.
std::string Zeros(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "\\x00";
  return text;
}

TEST(GuidingCli, TelescopeAndAoTrafficIsTracedPerRoute) {
  test::TempDir dir;
  const std::string trace = dir.str() + "/serial.txt";
  const auto r =
      Cli({"--root", dir.str(), "--simulate", "--virtual-clock", "--trace-serial", trace,
           "settings-set ShowInterfaceDetails=n", "scope-goto-coords ra=05:35 dec=-05*30", "scope-rate guide",
           "scope-move n", "scope-stop", "settings-set aoPortChoice=3", "ao-step e count=2", "ao-counters"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("info=NO OBJECT MAG 5.0\nreply=\n"), std::string::npos);
  EXPECT_NE(r.out.find("north-south=0 east-west=2\n"), std::string::npos);
  EXPECT_EQ(ReadText(trace),
            "sent port=0 \"#:Sr 05:35.0\"\n"
            "sent port=0 \"#:Sd -05*30\"\n"
            "sent port=0 \"#:LI#\"\n"
            "recv port=0 \"NO OBJECT MAG 5.0#" +
                Zeros(15) +
                "\"\n"
                "sent port=0 \"#:MS#\"\n"
                "recv port=0 \"0\"\n"
                "sent port=0 \"#:RG#\"\n"
                "sent port=0 \"#:Mn#\"\n"
                "sent port=0 \"#:Qn#\"\n"
                "sent port=0 \"#:Qs#\"\n"
                "sent port=0 \"#:Qe#\"\n"
                "sent port=0 \"#:Qw#\"\n"
                "sent port=pc \"GT00002\"\n");
}

TEST(GuidingCli, FindCentrePrintsTheCentreOrTheFailure) {
  test::TempDir dir;
  auto r = Cli({"--root", dir.str(), "find-centre x=300 y=200"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("centre x=", 0), 0u) << r.out;
  r = Cli({"--root", dir.str(), "find-centre x=3 y=200"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Find centre failed - outside image area"), std::string::npos);
  r = Cli({"--root", dir.str(), "find-centre x=300 y=200 source=both"});
  EXPECT_EQ(r.status, 2);
  // The narrow guider sensor's frame is 376 pixels wide: its bright star
  // (270, 134 on the standard sensor's 500) is 62 columns further left.
  r = Cli({"--root", dir.str(), "--simulate", "--virtual-clock", "settings-set guiderCameraType=x",
           "guider-expose range=t value=5", "find-centre x=207 y=135 source=guider",
           "find-centre x=370 y=135 source=guider"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(" at x=208 y=134 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("centre x=208."), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Find centre failed - outside image area"), std::string::npos);
}

TEST(GuidingCli, BadInputGivesTheMessageAndSendsNothing) {
  test::TempDir dir;
  const std::string trace = dir.str() + "/serial.txt";
  const std::vector<std::string> start{"--root", dir.str(), "--simulate", "--virtual-clock", "--trace-serial", trace};
  auto run = [&](std::vector<std::string> lines) {
    std::vector<std::string> args = start;
    args.insert(args.end(), lines.begin(), lines.end());
    return Cli(args);
  };
  // Malformed arguments: refused before anything runs.
  for (const char* line : {"scope-goto-coords ra=5 dec=+00*00", "scope-goto-coords ra=05:35 dec=10",
                           "scope-goto planet=earth", "scope-pulse up ms=10", "ao-step n count=100000"}) {
    EXPECT_EQ(run({line}).status, 2) << line;
  }
  // Out of range: the telescope's own messages.
  auto r = run({"scope-goto messier=111"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Object out of range - try again"), std::string::npos);
  r = run({"scope-goto-coords ra=05:35 dec=-90*00"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Invalid Co-ordinates set."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(trace));
  // No camera to carry the commands.
  r = run({"--camera", "K7", "settings-set ShowInterfaceDetails=n", "scope-pulse n ms=0"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Sorry, Camera not found"), std::string::npos);
}

}  // namespace
}  // namespace qv
