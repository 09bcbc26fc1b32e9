#include "motion/figures/leg_ik.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

namespace pavaneflow {
namespace {

constexpr double kThigh = 4.70;
constexpr double kShin = 4.50;
const Vec3 kHip{0.9, 10.5, 0.0};
const Vec3 kFront{0.0, 0.0, -1.0};

TEST(SolveLeg, ReachesWhatLiesWithinTheLegAndStretchesTowardsTheRest) {
  struct Case {
    std::string name;
    Vec3 target;
    Vec3 forward;
    Vec3 ankle;
    double miss;
    double bend;
  };
  // 6.5069 is √(4.7² + 4.5²): thigh and shin at a right angle.
  const double rightAngle = std::sqrt(kThigh * kThigh + kShin * kShin);
  const Case cases[] = {
      {"straight down at full reach", {0.9, 1.3, 0.0}, kFront, {0.9, 1.3, 0.0}, 0.0, 0.0},
      {"beyond reach", {0.9, -0.7, 0.0}, kFront, {0.9, 1.3, 0.0}, 2.0, 0.0},
      {"knee at a right angle",
       {0.9, 10.5 - rightAngle, 0.0},
       kFront,
       {0.9, 10.5 - rightAngle, 0.0},
       0.0,
       90.0},
      {"sideways at full reach", {0.9 + 9.2, 10.5, 0.0}, kFront, {10.1, 10.5, 0.0}, 0.0, 0.0},
      {"on the hip: folded, hanging",
       kHip,
       kFront,
       {0.9, 10.3, 0.0},
       0.2,
       180.0 -
           std::acos((kThigh * kThigh + kShin * kShin - 0.04) / (2 * kThigh * kShin)) / kDegree},
      {"front along the leg",
       {0.9, 10.5, -5.0},
       kFront,
       {0.9, 10.5, -5.0},
       0.0,
       180.0 -
           std::acos((kThigh * kThigh + kShin * kShin - 25.0) / (2 * kThigh * kShin)) / kDegree},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LegPose leg = SolveLeg(kHip, c.target, c.forward, kThigh, kShin);
    EXPECT_NEAR(leg.ankle.x, c.ankle.x, 1e-9);
    EXPECT_NEAR(leg.ankle.y, c.ankle.y, 1e-9);
    EXPECT_NEAR(leg.ankle.z, c.ankle.z, 1e-9);
    EXPECT_NEAR(leg.miss, c.miss, 1e-9);
    EXPECT_NEAR(leg.bendDegrees, c.bend, 1e-4);
    // The bones keep their lengths whatever the target.
    EXPECT_NEAR(Length(leg.knee - kHip), kThigh, 1e-9);
    EXPECT_NEAR(Length(leg.ankle - leg.knee), kShin, 1e-9);
  }
}

TEST(SolveLeg, BendsTheKneeTowardsTheFront) {
  const Vec3 fronts[] = {{0.0, 0.0, -1.0}, {0.0, 0.0, 1.0}, {1.0, 0.0, 0.0}};
  for (const Vec3& front : fronts) {
    const LegPose leg = SolveLeg(kHip, {0.9, 3.0, 0.0}, front, kThigh, kShin);
    const Vec3 off = leg.knee - Vec3{0.9, leg.knee.y, 0.0};
    EXPECT_GT(Dot(off, front), 1.0) << front.x << " " << front.z;
    EXPECT_NEAR(Length(off), Dot(off, front), 1e-9);
  }
}

}  // namespace
}  // namespace pavaneflow
