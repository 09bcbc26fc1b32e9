#include "export/humanoid_rest.h"

#include "export/rotation_tools.h"

namespace pavaneflow {
namespace {

Vec3 PointOf(const ModelPoint& p) {
  return {p.x, p.y, p.z};
}

struct ArmChain {
  HumanoidBone upper, lower, hand;
  double outwards;  // +1 for the left arm, which lies along +x
};

constexpr ArmChain kArms[] = {
    {HumanoidBone::kLeftUpperArm, HumanoidBone::kLeftLowerArm, HumanoidBone::kLeftHand, 1.0},
    {HumanoidBone::kRightUpperArm, HumanoidBone::kRightLowerArm, HumanoidBone::kRightHand, -1.0},
};

}  // namespace

HumanoidRest::HumanoidRest(const HumanoidSkeleton& skeleton) {
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    present_[i] = skeleton.present[i] || i == Index(HumanoidBone::kHips);
    joints_[i] = PointOf(skeleton.joints[i]);
    restTurns_[i] = {0.0, 0.0, 0.0, 1.0};
    HumanoidBone parent = kHumanoidParents[i];
    while (!present_[Index(parent)]) parent = kHumanoidParents[Index(parent)];
    parents_[i] = parent;
  }
  for (const ArmChain& arm : kArms) {
    if (!Has(arm.upper) || !Has(arm.lower)) continue;
    const Vec3 straight{arm.outwards, 0.0, 0.0};
    const Vec3 upper = joints_[Index(arm.upper)];
    const Vec3 lower = joints_[Index(arm.lower)];
    const Vec3 hand = joints_[Index(arm.hand)];
    const Vec3 upperBone = lower - upper;
    joints_[Index(arm.lower)] = upper + Length(upperBone) * straight;
    restTurns_[Index(arm.upper)] = ShortestTurn(straight, upperBone);
    if (!Has(arm.hand)) continue;
    const Vec3 lowerBone = hand - lower;
    joints_[Index(arm.hand)] = joints_[Index(arm.lower)] + Length(lowerBone) * straight;
    restTurns_[Index(arm.lower)] = ShortestTurn(straight, lowerBone);
    // The hand has no bone of its own to point along: it keeps the forearm's direction.
    restTurns_[Index(arm.hand)] = restTurns_[Index(arm.lower)];
  }
}

Vec3 HumanoidRest::Offset(HumanoidBone bone) const {
  if (bone == HumanoidBone::kHips) return Joint(bone);
  return Joint(bone) - Joint(Parent(bone));
}

}  // namespace pavaneflow
