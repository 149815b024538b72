// The scroll steps of the stretch and filter dialogs.

#include "processing/dialog_steps.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(DialogSteps, NormalStretchKeepsWhiteAboveBlack) {
  NormalStretchLevels l{100, 102};
  l.whiteLineDown();
  EXPECT_EQ(l.white, 101);
  l.whiteLineDown();
  EXPECT_EQ(l.white, 101);
  l.blackLineUp();
  EXPECT_EQ(l.black, 100);
  l.whitePageDown();
  EXPECT_EQ(l.white, 101);
  l.whiteThumb(100);
  EXPECT_EQ(l.white, 101);
  l.whiteThumb(250);
  EXPECT_EQ(l.white, 250);
  l.whitePageDown();
  EXPECT_EQ(l.white, 240);

  NormalStretchLevels top{0, 299};
  top.whiteLineUp();
  top.whiteLineUp();
  EXPECT_EQ(top.white, 300);
  NormalStretchLevels low{9, 255};
  low.blackPageDown();
  EXPECT_EQ(low.black, 9);
  low.blackLineDown();
  EXPECT_EQ(low.black, 8);
  NormalStretchLevels high{254, 300};
  high.blackLineUp();
  high.blackLineUp();
  EXPECT_EQ(high.black, 255);
  NormalStretchLevels smallWhite{0, 10};
  smallWhite.whitePageDown();  // would reach 0
  EXPECT_EQ(smallWhite.white, 10);
}

TEST(DialogSteps, PowerSteppedByTenthsWithinItsRange) {
  PowerLawStep p;
  for (int i = 0; i < 25; ++i) p.lineUp();
  EXPECT_EQ(p.exponent(), 3.0);
  EXPECT_EQ(p.position(), 30);
  for (int i = 0; i < 20; ++i) p.lineDown();
  EXPECT_EQ(p.exponent(), 1.0);  // exactly: power 1 leaves the image alone
  for (int i = 0; i < 20; ++i) p.lineDown();
  EXPECT_EQ(p.exponent(), 0.1);
  p.thumb(31);
  EXPECT_EQ(p.position(), 1);
  p.thumb(17);
  EXPECT_EQ(p.exponent(), 1.7);
}

TEST(DialogSteps, NonLinearTakesTypedValuesBeforeStepping) {
  NonLinearPowerStep n;
  n.lineUp("40");
  EXPECT_EQ(n.power, 41);
  n.lineUp("51");  // refused: steps from 41
  EXPECT_EQ(n.power, 42);
  n.lineDown("1");
  EXPECT_EQ(n.power, 1);  // taken, but no step below 2
  n.lineUp("abc");
  EXPECT_EQ(n.power, 2);
  n.lineUp("50");
  EXPECT_EQ(n.power, 50);
  n.lineDown(" 7");
  EXPECT_EQ(n.power, 49);
}

}  // namespace
}  // namespace qv
