#pragma once

#include <array>
#include <cstddef>

#include "export/humanoid_pose.h"
#include "export/humanoid_rest.h"
#include "export/rotation_tools.h"

namespace pavaneflow {

// A posed humanoid figure by forward kinematics through its rest offsets, as a player without IK
// poses it: where each joint stands and how each bone is turned in the world.
struct PosedFigure {
  std::array<Vec3, kHumanoidBoneCount> joints{};
  std::array<Quaternion, kHumanoidBoneCount> world{};

  Vec3 Joint(HumanoidBone bone) const { return joints[static_cast<std::size_t>(bone)]; }
  const Quaternion& World(HumanoidBone bone) const { return world[static_cast<std::size_t>(bone)]; }
};

inline PosedFigure Pose(const HumanoidRest& rest, const HumanoidPose& pose) {
  PosedFigure figure;
  // Parents come before their children in the bone order.
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    const auto bone = static_cast<HumanoidBone>(i);
    if (!rest.Has(bone)) continue;
    if (bone == HumanoidBone::kHips) {
      figure.joints[i] = pose.hips;
      figure.world[i] = pose.Turn(bone);
      continue;
    }
    const auto parent = static_cast<std::size_t>(rest.Parent(bone));
    figure.joints[i] = figure.joints[parent] + Rotate(figure.world[parent], rest.Offset(bone));
    figure.world[i] = Compose(figure.world[parent], pose.Turn(bone));
  }
  return figure;
}

inline double Distance(Vec3 a, Vec3 b) {
  return Length(a - b);
}

}  // namespace pavaneflow
