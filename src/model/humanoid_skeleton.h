#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace pavaneflow {

// The bones of a humanoid figure that a dance moves, in the order and with the names of the VRM
// humanoid (and of VRM Animation).
enum class HumanoidBone : std::size_t {
  kHips,
  kSpine,
  kChest,
  kNeck,
  kHead,
  kLeftShoulder,
  kLeftUpperArm,
  kLeftLowerArm,
  kLeftHand,
  kRightShoulder,
  kRightUpperArm,
  kRightLowerArm,
  kRightHand,
  kLeftUpperLeg,
  kLeftLowerLeg,
  kLeftFoot,
  kLeftToes,
  kRightUpperLeg,
  kRightLowerLeg,
  kRightFoot,
  kRightToes,
};
inline constexpr std::size_t kHumanoidBoneCount = 21;

// The VRM name of each bone ("hips", "leftUpperLeg", ...), indexed by HumanoidBone.
inline constexpr std::array<std::string_view, kHumanoidBoneCount> kHumanoidBoneNames = {
    "hips",          "spine",         "chest",         "neck",          "head",
    "leftShoulder",  "leftUpperArm",  "leftLowerArm",  "leftHand",      "rightShoulder",
    "rightUpperArm", "rightLowerArm", "rightHand",     "leftUpperLeg",  "leftLowerLeg",
    "leftFoot",      "leftToes",      "rightUpperLeg", "rightLowerLeg", "rightFoot",
    "rightToes"};

// The parent of each bone in the humanoid hierarchy, indexed by HumanoidBone; the hips have none
// and name themselves.
inline constexpr std::array<HumanoidBone, kHumanoidBoneCount> kHumanoidParents = {
    HumanoidBone::kHips,          HumanoidBone::kHips,          HumanoidBone::kSpine,
    HumanoidBone::kChest,         HumanoidBone::kNeck,          HumanoidBone::kChest,
    HumanoidBone::kLeftShoulder,  HumanoidBone::kLeftUpperArm,  HumanoidBone::kLeftLowerArm,
    HumanoidBone::kChest,         HumanoidBone::kRightShoulder, HumanoidBone::kRightUpperArm,
    HumanoidBone::kRightLowerArm, HumanoidBone::kHips,          HumanoidBone::kLeftUpperLeg,
    HumanoidBone::kLeftLowerLeg,  HumanoidBone::kLeftFoot,      HumanoidBone::kHips,
    HumanoidBone::kRightUpperLeg, HumanoidBone::kRightLowerLeg, HumanoidBone::kRightFoot};

// A point of a model at rest, in the dance's units and axes: 1 unit = 0.08 m, y up with the floor
// at y = 0, the figure facing −z (the viewer) with its left side at +x.
struct ModelPoint {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// A humanoid figure at rest: where the joint of each of its bones lies. A model read from a file
// may lack some of the optional bones (chest, neck, shoulders, toes); those are not `present`.
struct HumanoidSkeleton {
  std::string name;  // the model's own name, UTF-8
  std::array<ModelPoint, kHumanoidBoneCount> joints{};
  std::array<bool, kHumanoidBoneCount> present{};

  const ModelPoint& Joint(HumanoidBone bone) const {
    return joints[static_cast<std::size_t>(bone)];
  }
  bool Has(HumanoidBone bone) const { return present[static_cast<std::size_t>(bone)]; }
};

}  // namespace pavaneflow
