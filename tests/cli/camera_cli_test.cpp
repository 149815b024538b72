// The camera commands of qelvesk-cli against the simulated devices.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/cli_app.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

constexpr auto& Cli = test::RunCliCaptured;

TEST(CameraCli, SimulatedCameraFromOpenToCoolerAndWheel) {
  test::TempDir dir;
  const std::string trace = dir.str() + "/trace.txt";
  const std::string pgm = dir.str() + "/g.pgm";
  const auto r = Cli({"--root", dir.str(), "--simulate", "--camera", "K2C", "--trace-usb", trace,
                      "settings-set ShowInterfaceDetails=n", "camera-open", "camera-info",
                      "readout mode=4 exposure-ms=10", "guider-frame exposure-ms=10 binned=1 pgm=" + pgm,
                      "cooler on=1 setpoint=-5", "filter prev", "guide-outputs bits=0"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("camera K2C PID 0611"), std::string::npos);
  EXPECT_NE(r.out.find("firmware=2.12\ncooler=available\nfilterwheel=attached\nfilterPositions=7"), std::string::npos);
  EXPECT_NE(r.out.find("frame 970x730 mode code 4"), std::string::npos);
  EXPECT_NE(r.out.find("cooling=on setpoint=-5 temperature=20"), std::string::npos);
  EXPECT_NE(r.out.find("filter 7 Filter 7"), std::string::npos);

  const auto bytes = test::ReadBytes(pgm);
  const std::string header = "P5\n500 290\n65535\n";
  ASSERT_EQ(bytes.size(), header.size() + 500 * 290 * 2);
  EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));

  std::ifstream in(trace);
  std::stringstream text;
  text << in.rdbuf();
  const std::string log = text.str();
  EXPECT_NE(log.find("W wheel 3: 00 00 00\nR wheel 3: 00 01 07\n"), std::string::npos);
  EXPECT_NE(log.find("W camera 8: 40 ff 00 00 00 00 00 00\nR camera 4: 0c 00 02 00\n"), std::string::npos);
  EXPECT_NE(
      log.find("W camera 22: 40 02 03 00 00 00 0e 00 00 00 00 00 94 07 b4 05 04 04 0a 00 00 00\nR camera 354050:"),
      std::string::npos);
  EXPECT_NE(log.find("W camera 8: 40 1e 78 0a 01 00 00 00\nR camera 3: "), std::string::npos);
}

TEST(CameraCli, BadArgumentsChangeNothing) {
  test::TempDir dir;
  auto r = Cli({"--root", dir.str(), "--simulate", "readout mode=6 exposure-ms=10"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("readout: mode must be a whole number from 1 to 5"), std::string::npos);
  r = Cli({"--root", dir.str(), "--simulate", "settings-set ShowInterfaceDetails=n", "filter 9"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("filter: position must be from 1 to 7"), std::string::npos);
  r = Cli({"--root", dir.str(), "--simulate", "--camera", "K7", "settings-set ShowInterfaceDetails=n", "camera-open"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Sorry, No camera found on USB"), std::string::npos);
}

TEST(CameraCli, ExposeAndFocusOnTheSimulatedCamera) {
  test::TempDir dir;
  auto r = Cli(
      {"--root", dir.str(), "--simulate", "--virtual-clock=2024-03-01T21:00:00", "settings-set ShowInterfaceDetails=n",
       "expose range=h value=5 continuous=1 autosave=1 cancel-after-ms=5000", "focus frames=2", "camera-dialog-show"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("frame 1 exposure-ms=50 "), std::string::npos);
  EXPECT_NE(r.out.find("frame 3 exposure-ms=50 "), std::string::npos);
  EXPECT_EQ(r.out.find("frame 4 "), std::string::npos);
  EXPECT_NE(r.out.find("IMG3.FIT\n"), std::string::npos);
  EXPECT_NE(r.out.find("focus 2 peak="), std::string::npos);
  EXPECT_NE(r.out.find("camera-mode=Continuous Imaging\n"), std::string::npos);
  EXPECT_NE(r.out.find("last-file-no=3\n"), std::string::npos);

  r = Cli({"--root", dir.str(), "--simulate", "expose range=m value=91"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("expose: value must be from 1 to 90 in this range"), std::string::npos);
  r = Cli({"--root", dir.str(), "--simulate", "--camera", "K7", "settings-set ShowInterfaceDetails=n", "expose"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Sorry, No camera found on USB"), std::string::npos);
}

}  // namespace
}  // namespace qv
