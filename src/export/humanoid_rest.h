#pragma once

#include <array>
#include <cstddef>

#include "model/humanoid_skeleton.h"
#include "motion/rotation.h"

namespace pavaneflow {

// The rest pose an export is written in: the humanoid T-pose, every rest rotation the identity.
// Made from a figure's skeleton by laying each arm out straight along ±x from its shoulder joint
// (upper arm), keeping the bones' lengths; everything else stands where the skeleton has it. In
// the dance's units and axes. Bones the skeleton lacks are left out, their children hang from
// the nearest bone above them that is there; the hips are always there.
class HumanoidRest {
 public:
  explicit HumanoidRest(const HumanoidSkeleton& skeleton);

  bool Has(HumanoidBone bone) const { return present_[Index(bone)]; }
  // The nearest bone above `bone` that is there; the hips for the hips.
  HumanoidBone Parent(HumanoidBone bone) const { return parents_[Index(bone)]; }
  // Where the bone's joint stands in the T-pose.
  Vec3 Joint(HumanoidBone bone) const { return joints_[Index(bone)]; }
  // The joint's place relative to its parent's joint; the hips' own place for the hips.
  Vec3 Offset(HumanoidBone bone) const;

  // The turn that takes the bone from the T-pose to the figure's own rest pose (only the arms
  // differ).
  const Quaternion& RestTurn(HumanoidBone bone) const { return restTurns_[Index(bone)]; }

 private:
  static std::size_t Index(HumanoidBone bone) { return static_cast<std::size_t>(bone); }

  std::array<bool, kHumanoidBoneCount> present_{};
  std::array<HumanoidBone, kHumanoidBoneCount> parents_{};
  std::array<Vec3, kHumanoidBoneCount> joints_{};
  std::array<Quaternion, kHumanoidBoneCount> restTurns_{};
};

}  // namespace pavaneflow
