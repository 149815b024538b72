// The telescope commands against the simulated mount: what they do shows in
// the next simulated read-out.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "camera/camera_commands.h"
#include "camera/set_camera_type.h"
#include "camera/usb_link.h"
#include "guiding/find_centre.h"
#include "guiding/telescope_commands.h"
#include "sim/sim_world.h"
#include "support/sim_camera_test.h"

namespace qv {
namespace {

class GuidingOnTheSimulator : public test::SimCameraTest {
 protected:
  void SetUp() override {
    state->settings.guideStarMaskRadius = 8;
    MakeSimCamera();
    ASSERT_TRUE(ConnectSimCamera());
    HoldMountStill();
  }
  // A full-resolution frame, then the bright star found from where the
  // scene says it is, three times over as the guiding does.
  std::optional<StarPosition> ExposeAndFind(double expectX, double expectY) {
    SetGeometryForReadout(*state, kFullResolution);
    EXPECT_TRUE(ClearSensor(*state, host));
    if (!ReadFrame(*state, host, kFullResolution, 500)) return std::nullopt;
    StarPosition p{static_cast<int>(std::lround(expectX)), static_cast<int>(std::lround(expectY)), 0, 0};
    for (int i = 0; i < 3; ++i) {
      const auto found = FindCentre(*state, host, p.x, p.y, CentreSource::MainCamera);
      if (!found) return std::nullopt;
      p = *found;
    }
    return p;
  }
  double StarX() { return world->scene.starX(world->scene.stars()[0], clock.nowMs); }
  double StarY() { return world->scene.starY(world->scene.stars()[0], clock.nowMs); }
};

TEST_F(GuidingOnTheSimulator, GoToCoordinatesMovesTheFoundStar) {
  ASSERT_TRUE(GoToCoordinates(*state, host, clock, 5, 35, *ParseDeclination("+00*10")));
  const auto before = ExposeAndFind(StarX(), StarY());
  ASSERT_TRUE(before);
  EXPECT_NEAR(before->x, StarX(), 1.0);
  // One arcminute north at 2 arcseconds a pixel: the field moves 30 pixels up.
  ASSERT_TRUE(GoToCoordinates(*state, host, clock, 5, 35, *ParseDeclination("+00*11")));
  const auto after = ExposeAndFind(before->x, before->y - 30);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->x, before->x);
  EXPECT_NEAR(after->y - before->y, -30, 1);
  EXPECT_EQ(state->camera.secondTelescopeReply, "");
  EXPECT_EQ(world->serial.gotoCount, 2);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(GuidingOnTheSimulator, GoToCatalogueObjectMovesTheField) {
  ASSERT_TRUE(GoToCatalogueNumber(*state, host, clock, 31, 0));
  EXPECT_EQ(state->camera.telescopeReply, "M31 MAG 5.0");
  const double x0 = StarX(), y0 = StarY();
  ASSERT_TRUE(GoToCatalogueNumber(*state, host, clock, 0, 224));
  EXPECT_EQ(state->camera.telescopeReply, "CNGC 224 MAG 5.0");
  world->scene.mount.advanceTo(clock.nowMs);
  EXPECT_GT(std::hypot(StarX() - x0, StarY() - y0), 100);
}

TEST_F(GuidingOnTheSimulator, NorthPulseMovesTheStarByTheGuideRate) {
  const auto before = ExposeAndFind(StarX(), StarY());
  ASSERT_TRUE(before);
  const std::uint32_t pulseMs = 3000;
  ASSERT_TRUE(LxGuidePulse(*state, host, clock, 'n', pulseMs));
  const double expected = -sim::SerialDevices::kLx200GuideRate * pulseMs / 1000;  // north is up
  const auto after = ExposeAndFind(before->x, before->y + expected);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->x, before->x);
  EXPECT_NEAR(after->y - before->y, expected, 1);
}

}  // namespace
}  // namespace qv
