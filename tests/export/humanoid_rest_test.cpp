#include "export/humanoid_rest.h"

#include <gtest/gtest.h>

#include <cmath>

#include "export/reference_skeleton.h"
#include "export/right_handed.h"

namespace pavaneflow {
namespace {

void ExpectAt(Vec3 actual, Vec3 expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9);
  EXPECT_NEAR(actual.y, expected.y, 1e-9);
  EXPECT_NEAR(actual.z, expected.z, 1e-9);
}

// The reference figure in metres, facing +z: the default test figure of the VRM tools.
TEST(ReferenceSkeleton, IsTheStandardFigureInMetres) {
  const HumanoidRest rest(ReferenceSkeleton());
  const auto metres = [&](HumanoidBone bone) {
    return ExportPoint(rest.Joint(bone), kMetresPerUnit);
  };
  ExpectAt(metres(HumanoidBone::kHips), {0.0, 0.90, 0.0});
  ExpectAt(metres(HumanoidBone::kLeftUpperLeg), {0.072, 0.84, 0.0});
  ExpectAt(metres(HumanoidBone::kRightUpperLeg), {-0.072, 0.84, 0.0});
  ExpectAt(metres(HumanoidBone::kLeftLowerLeg), {0.072, 0.464, 0.0});
  ExpectAt(metres(HumanoidBone::kLeftFoot), {0.072, 0.104, 0.0});
  ExpectAt(metres(HumanoidBone::kRightToes), {-0.072, 0.012, 0.12});
  ExpectAt(metres(HumanoidBone::kLeftHand), {0.600, 1.224, 0.0});
}

TEST(HumanoidRest, LaysTheArmsOutStraightAndKeepsTheirLengths) {
  const HumanoidSkeleton skeleton = ReferenceSkeleton();
  const HumanoidRest rest(skeleton);
  for (const double side : {1.0, -1.0}) {
    const bool left = side > 0.0;
    const HumanoidBone upper = left ? HumanoidBone::kLeftUpperArm : HumanoidBone::kRightUpperArm;
    const HumanoidBone lower = left ? HumanoidBone::kLeftLowerArm : HumanoidBone::kRightLowerArm;
    const HumanoidBone hand = left ? HumanoidBone::kLeftHand : HumanoidBone::kRightHand;
    ExpectAt(rest.Offset(lower), {side * 3.0, 0.0, 0.0});
    ExpectAt(rest.Offset(hand), {side * 2.8, 0.0, 0.0});
    // The rest turn takes the straight arm back down to where the figure holds it, 40° below.
    const Vec3 down = Rotate(rest.RestTurn(upper), rest.Offset(lower));
    ExpectAt(down, 3.0 * Vec3{side * std::cos(40.0 * kDegree), -std::sin(40.0 * kDegree), 0.0});
  }
  // Legs and body stand as the skeleton has them.
  ExpectAt(rest.Offset(HumanoidBone::kLeftLowerLeg), {0.0, -4.7, 0.0});
  ExpectAt(rest.Offset(HumanoidBone::kRightUpperLeg), {-0.9, -0.75, 0.0});
}

TEST(HumanoidRest, HangsBonesFromTheNearestBoneThatIsThere) {
  HumanoidSkeleton skeleton = ReferenceSkeleton();
  for (const HumanoidBone missing :
       {HumanoidBone::kChest, HumanoidBone::kNeck, HumanoidBone::kLeftShoulder,
        HumanoidBone::kRightToes, HumanoidBone::kHips}) {
    skeleton.present[static_cast<std::size_t>(missing)] = false;
  }
  const HumanoidRest rest(skeleton);
  EXPECT_TRUE(rest.Has(HumanoidBone::kHips));  // the root is always there
  EXPECT_FALSE(rest.Has(HumanoidBone::kChest));
  EXPECT_EQ(rest.Parent(HumanoidBone::kHead), HumanoidBone::kSpine);
  EXPECT_EQ(rest.Parent(HumanoidBone::kLeftUpperArm), HumanoidBone::kSpine);
  EXPECT_EQ(rest.Parent(HumanoidBone::kRightShoulder), HumanoidBone::kSpine);
  ExpectAt(rest.Offset(HumanoidBone::kHead), {0.0, 17.2 - 11.5, 0.0});
}

}  // namespace
}  // namespace pavaneflow
