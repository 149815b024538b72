// guide-step: one guiding decision at a time, the last direction of each axis
// carried from one command to the next.

#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace qv {
namespace {

TEST(GuideStepCli, ReversalsAcrossCommandsTakeUpBacklash) {
  test::TempDir dir;
  const auto r = test::RunCliCaptured(
      {"--root", dir.str(), "settings-set telescopeGuiding=l ignoreSmallDrift=n raBacklash=2",
       "guide-step ref=100.0,100.0 star=101.0,100.0", "guide-step ref=100.0,100.0 star=101.0,100.0",
       "guide-step ref=100.0,100.0 star=99.0,100.0", "guide-step ref=100.0,100.0 star=160.0,100.0"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "error column=-1000 row=0\ncolumn: w magnitude=3000 backlash ms=1500 sends #:RG# #:Mw# #:Qw#\nrow: none\n"
            "error column=-1000 row=0\ncolumn: w magnitude=1000 ms=500 sends #:RG# #:Mw# #:Qw#\nrow: none\n"
            "error column=1000 row=0\ncolumn: e magnitude=3000 backlash ms=1500 sends #:RG# #:Me# #:Qe#\nrow: none\n"
            "error column=-60000 row=0\nskipped: the jump is too large, nothing sent\n");
}

TEST(GuideStepCli, RefusesPositionsThatAreNotPixelsAndTenths) {
  test::TempDir dir;
  EXPECT_NE(test::RunCliCaptured({"--root", dir.str(), "guide-step ref=100.0,100.0 star=99.25,100"}).status, 0);
  EXPECT_NE(test::RunCliCaptured({"--root", dir.str(), "guide-step ref=100 star=99,100"}).status, 0);
  EXPECT_NE(test::RunCliCaptured({"--root", dir.str(), "guide-step ref=1,1 star=1,1 camera=ao"}).status, 0);
}

}  // namespace
}  // namespace qv
