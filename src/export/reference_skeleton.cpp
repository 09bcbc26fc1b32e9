#include "export/reference_skeleton.h"

#include <cmath>
#include <cstddef>

#include "base/portable_math.h"
#include "motion/rotation.h"

namespace pavaneflow {
namespace {

constexpr double kHipsAboveHipJoints = 0.75;
constexpr double kReferenceHipY = 10.5;  // where the upper body's heights below belong
// The upper body of the standard-skeleton character.
constexpr double kSpineY = 11.5;
constexpr double kChestY = 13.5;
constexpr double kNeckY = 16.2;
constexpr double kHeadY = 17.2;
constexpr ModelPoint kShoulder{0.45, 15.6, 0.0};
constexpr ModelPoint kUpperArm{1.7, 15.3, 0.0};
constexpr double kUpperArmLength = 3.0;
constexpr double kLowerArmLength = 2.8;
constexpr double kToesY = 0.15;
constexpr double kToesZ = -1.5;  // in front of the ankle

// A float of the body to a millionth of a unit (0.9 for 0.9f, not 0.899999976...), so that the
// skeleton's figures in metres come out as the figure's own.
double Decimal(float value) {
  return std::round(static_cast<double>(value) * 1e6) / 1e6;
}

void Set(HumanoidSkeleton& skeleton, HumanoidBone bone, ModelPoint at) {
  const auto i = static_cast<std::size_t>(bone);
  skeleton.joints[i] = at;
  skeleton.present[i] = true;
}

}  // namespace

HumanoidSkeleton ReferenceSkeleton(const BodyProportions& body) {
  const double hipY = Decimal(body.hipY);
  const double lift = hipY - kReferenceHipY;
  const double thigh = Decimal(body.thigh);
  const double shin = Decimal(body.shin);
  const double drop = Decimal(body.upperArmDropDegrees) * kDegree;

  HumanoidSkeleton s;
  Set(s, HumanoidBone::kHips, {0.0, hipY + kHipsAboveHipJoints, 0.0});
  Set(s, HumanoidBone::kSpine, {0.0, kSpineY + lift, 0.0});
  Set(s, HumanoidBone::kChest, {0.0, kChestY + lift, 0.0});
  Set(s, HumanoidBone::kNeck, {0.0, kNeckY + lift, 0.0});
  Set(s, HumanoidBone::kHead, {0.0, kHeadY + lift, 0.0});
  for (const double side : {1.0, -1.0}) {
    const bool left = side > 0.0;
    const double hipX = side * Decimal(body.hipX);
    const double ankleX = side * Decimal(body.ankleX);
    const double ankleY = Decimal(body.ankleY);
    // The knee divides the line from hip joint to ankle as thigh and shin divide the leg.
    const double share = thigh / (thigh + shin);
    Set(s, left ? HumanoidBone::kLeftUpperLeg : HumanoidBone::kRightUpperLeg, {hipX, hipY, 0.0});
    Set(s, left ? HumanoidBone::kLeftLowerLeg : HumanoidBone::kRightLowerLeg,
        {hipX + share * (ankleX - hipX), hipY + share * (ankleY - hipY), 0.0});
    Set(s, left ? HumanoidBone::kLeftFoot : HumanoidBone::kRightFoot, {ankleX, ankleY, 0.0});
    Set(s, left ? HumanoidBone::kLeftToes : HumanoidBone::kRightToes, {ankleX, kToesY, kToesZ});

    const Vec3 along{side * portable::Cos(drop), -portable::Sin(drop), 0.0};
    const Vec3 arm{side * kUpperArm.x, kUpperArm.y + lift, kUpperArm.z};
    const Vec3 elbow = arm + kUpperArmLength * along;
    const Vec3 wrist = elbow + kLowerArmLength * along;
    Set(s, left ? HumanoidBone::kLeftShoulder : HumanoidBone::kRightShoulder,
        {side * kShoulder.x, kShoulder.y + lift, kShoulder.z});
    Set(s, left ? HumanoidBone::kLeftUpperArm : HumanoidBone::kRightUpperArm,
        {arm.x, arm.y, arm.z});
    Set(s, left ? HumanoidBone::kLeftLowerArm : HumanoidBone::kRightLowerArm,
        {elbow.x, elbow.y, elbow.z});
    Set(s, left ? HumanoidBone::kLeftHand : HumanoidBone::kRightHand, {wrist.x, wrist.y, wrist.z});
  }
  return s;
}

}  // namespace pavaneflow
