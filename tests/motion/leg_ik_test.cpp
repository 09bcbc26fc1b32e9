#include "motion/leg_ik.h"

#include <array>
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

// The cheap gap must be the exact one wherever the legs come closer than asked, and never call
// legs clear that are not: over a sweep of the right foot around the left one, the hips turned
// and tilted various ways, both legs placed as the motion places them.
TEST(LegsGapUnder, IsTheExactGapWhereverTheLegsComeClose) {
  const BodyProportions& body = kReferenceBody;
  struct Case {
    std::string name;
    Quaternion turn;
    Vec3 left;  // the left foot's IK bone
  };
  const Case cases[] = {
      {"square, feet side by side", {0.0, 0.0, 0.0, 1.0}, {0.0, 0.0, 0.0}},
      {"turned a quarter, left foot forward", AxisAngle({0.0, 1.0, 0.0}, 1.4), {0.5, 0.0, -1.5}},
      {"turned back, left foot lifted", AxisAngle({0.0, 1.0, 0.0}, -2.5), {-0.5, 1.5, 0.5}},
      {"leaning forward and sideways", AxisAngle({1.0, 0.0, 0.6}, 0.5), {1.0, 0.0, 0.5}},
  };
  constexpr double kClear = 0.65;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Vec3 centre{0.0, static_cast<double>(body.centreY) - 0.5, 0.0};
    const Vec3 forward = Rotate(c.turn, {0.0, 0.0, -1.0});
    const std::array<Vec3, 2> hip{HipAt(body, centre, c.turn, 0), HipAt(body, centre, c.turn, 1)};
    const Vec3 left = Rotate(c.turn, {1.0, 0.0, 0.0});
    int close = 0;
    for (double x = -3.0; x <= 3.0; x += 0.25) {
      for (double y = 0.0; y <= 3.0; y += 0.5) {
        for (double z = -3.0; z <= 3.0; z += 0.25) {
          std::array<LegPose, 2> legs;
          legs[0] = PlaceLeg(hip[0], FootTarget(body, c.left, 0), forward,
                             static_cast<double>(body.thigh), static_cast<double>(body.shin));
          legs[1] = PlaceLeg(hip[1], FootTarget(body, {x, y, z}, 1), forward,
                             static_cast<double>(body.thigh), static_cast<double>(body.shin));
          const double exact = LegsGap(hip, legs);
          const Vec3 unit = (1.0 / Length(left)) * left;
          const double cheap = LegsGapUnder(body, hip, legs, unit, kClear);
          // Asked only whether the legs come closer than kClear: some distance between the
          // exact gap and kClear where they do.
          const double enough = LegsGapUnder(body, hip, legs, unit, kClear, kClear);
          if (exact < kClear) {
            ++close;
            ASSERT_EQ(cheap, exact) << x << " " << y << " " << z;
            ASSERT_LT(enough, kClear) << x << " " << y << " " << z;
            ASSERT_GE(enough, exact) << x << " " << y << " " << z;
          } else {
            ASSERT_GE(cheap, kClear) << x << " " << y << " " << z;
            ASSERT_GE(enough, kClear) << x << " " << y << " " << z;
          }
        }
      }
    }
    EXPECT_GT(close, 0) << "the sweep must take the legs through each other";
  }
}

}  // namespace
}  // namespace pavaneflow
