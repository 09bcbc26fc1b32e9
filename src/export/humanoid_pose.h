#pragma once

#include <array>

#include "model/humanoid_skeleton.h"
#include "motion/rotation.h"

namespace pavaneflow {

// A humanoid figure at one moment, as the export writes it: where the hips joint stands, and
// each bone's rotation relative to its parent (as HumanoidRest links them) and to the T-pose, in
// the dance's units and axes. Bones the figure lacks keep the identity.
struct HumanoidPose {
  Vec3 hips;
  std::array<Quaternion, kHumanoidBoneCount> turns;

  const Quaternion& Turn(HumanoidBone bone) const { return turns[static_cast<std::size_t>(bone)]; }
};

}  // namespace pavaneflow
