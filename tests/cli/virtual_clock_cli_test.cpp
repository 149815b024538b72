// qelvesk-cli on the virtual clock, and the cooler's set point reaching the
// settings file.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_app.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

constexpr auto& Cli = test::RunCliCaptured;

TEST(VirtualClockCli, ARunRepeatsToTheByte) {
  // An exposure timed by the computer, a FITS file with its date and an
  // autosave name: twice from the same start, the same files.
  std::vector<std::vector<std::uint8_t>> fits, autosaved, exposed;
  for (int pass = 0; pass < 2; ++pass) {
    test::TempDir dir;
    const auto r = Cli({"--root", dir.str(), "--simulate", "--virtual-clock=2010-05-06T07:08:09",
                        "settings-set ShowInterfaceDetails=n", "readout mode=2 exposure-ms=5000",
                        "save-fits " + dir.str() + "/a.fit", "quick-save", "expose range=s value=2 mode=1",
                        "save-fits " + dir.str() + "/b.fit"});
    ASSERT_EQ(r.status, 0) << r.err;
    fits.push_back(test::ReadBytes(dir.str() + "/a.fit"));
    autosaved.push_back(test::ReadBytes(dir.str() + "/autosave/IMG1.FIT"));
    exposed.push_back(test::ReadBytes(dir.str() + "/b.fit"));
  }
  ASSERT_FALSE(fits[0].empty());
  EXPECT_EQ(fits[0], fits[1]);
  EXPECT_EQ(autosaved[0], autosaved[1]);
  EXPECT_EQ(exposed[0], exposed[1]);

  // Every save of a frame carries what its read-out knew: the binning, the
  // middle of the exposure and its length.
  const std::string header(fits[0].begin(), fits[0].begin() + 5760);
  EXPECT_EQ(header, std::string(autosaved[0].begin(), autosaved[0].begin() + 5760));
  EXPECT_NE(header.find("DATE-OBS= '2010-05-06T07:08:11' "), std::string::npos);
  EXPECT_NE(header.find("TIME-OBS= '07:08:11' "), std::string::npos);
  EXPECT_NE(header.find("EXPTIME =    5.0000000000E+00"), std::string::npos);
  EXPECT_NE(header.find("XBINNING=                    2"), std::string::npos);
  EXPECT_EQ(header.find("BAYERPAT"), std::string::npos);
  const std::string second(exposed[0].begin(), exposed[0].begin() + 5760);
  EXPECT_NE(second.find("EXPTIME =    2.0000000000E+00"), std::string::npos);
  EXPECT_NE(second.find("XBINNING=                    1"), std::string::npos);
  EXPECT_NE(second.find("BAYERPAT"), std::string::npos);
  EXPECT_EQ(second.find("TIME-OBS= '' "), std::string::npos);
}

TEST(VirtualClockCli, ABadStartIsAUsageError) {
  test::TempDir dir;
  for (const char* bad : {"--virtual-clock=2001-02-29T00:00:00", "--virtual-clock=", "--virtual-clock=yesterday"}) {
    const auto r = Cli({"--root", dir.str(), bad, "settings-show"});
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("YYYY-MM-DDTHH:MM:SS"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
  // Alone it starts at the default and runs as usual.
  EXPECT_EQ(Cli({"--root", dir.str(), "--virtual-clock", "settings-show"}).status, 0);
}

TEST(VirtualClockCli, CoolerSetPointIsSavedAndMonitorRunsOnTheClock) {
  test::TempDir dir;
  auto r = Cli({"--root", dir.str(), "--simulate", "--virtual-clock", "settings-set ShowInterfaceDetails=n",
                "cooler on=1 setpoint=-12", "cooler-monitor seconds=2"});
  ASSERT_EQ(r.status, 0) << r.err;
  // One line from the cooler command and one for each half second monitored.
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 4);
  r = Cli({"--root", dir.str(), "settings-show"});
  EXPECT_NE(r.out.find("savedCoolingSetpoint=-12\n"), std::string::npos);
}

}  // namespace
}  // namespace qv
