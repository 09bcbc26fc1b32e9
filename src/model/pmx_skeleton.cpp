#include "model/pmx_skeleton.h"

#include <filesystem>
#include <string_view>
#include <unordered_map>

#include "model/model_error.h"

namespace pavaneflow {
namespace {

struct StandardBone {
  HumanoidBone bone;
  std::string_view name;
  bool required;
};

constexpr StandardBone kStandardBones[] = {
    {HumanoidBone::kSpine, "上半身", true},
    {HumanoidBone::kChest, "上半身2", false},
    {HumanoidBone::kNeck, "首", false},
    {HumanoidBone::kHead, "頭", true},
    {HumanoidBone::kLeftShoulder, "左肩", false},
    {HumanoidBone::kLeftUpperArm, "左腕", true},
    {HumanoidBone::kLeftLowerArm, "左ひじ", true},
    {HumanoidBone::kLeftHand, "左手首", true},
    {HumanoidBone::kRightShoulder, "右肩", false},
    {HumanoidBone::kRightUpperArm, "右腕", true},
    {HumanoidBone::kRightLowerArm, "右ひじ", true},
    {HumanoidBone::kRightHand, "右手首", true},
    {HumanoidBone::kLeftUpperLeg, "左足", true},
    {HumanoidBone::kLeftLowerLeg, "左ひざ", true},
    {HumanoidBone::kLeftFoot, "左足首", true},
    {HumanoidBone::kLeftToes, "左つま先", false},
    {HumanoidBone::kRightUpperLeg, "右足", true},
    {HumanoidBone::kRightLowerLeg, "右ひざ", true},
    {HumanoidBone::kRightFoot, "右足首", true},
    {HumanoidBone::kRightToes, "右つま先", false},
};

constexpr std::string_view kCentre = "センター";
constexpr std::string_view kHips = "下半身";
// Each foot IK bone with its spellings: full-width letters, as the standard models write them,
// and half-width ones.
constexpr std::string_view kFootIk[2][2] = {{"左足ＩＫ", "左足IK"}, {"右足ＩＫ", "右足IK"}};

ModelPoint PointOf(const PmxBone& bone) {
  return {static_cast<double>(bone.position[0]), static_cast<double>(bone.position[1]),
          static_cast<double>(bone.position[2])};
}

}  // namespace

CharacterModel CharacterFromPmx(const PmxModel& model, const std::string& fileName) {
  // The first bone of a name wins, as in MMD.
  std::unordered_map<std::string_view, const PmxBone*> byName;
  for (const PmxBone& bone : model.bones) byName.emplace(bone.name, &bone);
  auto find = [&byName](std::string_view name) -> const PmxBone* {
    const auto found = byName.find(name);
    return found == byName.end() ? nullptr : found->second;
  };

  CharacterModel character;
  HumanoidSkeleton& skeleton = character.skeleton;
  std::string missing;
  auto lacks = [&missing](std::string_view name) {
    if (!missing.empty()) missing += ", ";
    missing += name;
  };
  if (const PmxBone* centre = find(kCentre)) {
    character.centre = PointOf(*centre);
  } else {
    lacks(kCentre);
  }
  for (const StandardBone& standard : kStandardBones) {
    const PmxBone* bone = find(standard.name);
    const auto i = static_cast<std::size_t>(standard.bone);
    if (bone != nullptr) {
      skeleton.joints[i] = PointOf(*bone);
      skeleton.present[i] = true;
    } else if (standard.required) {
      lacks(standard.name);
    }
  }
  for (const auto& spellings : kFootIk) {
    if (find(spellings[0]) == nullptr && find(spellings[1]) == nullptr) lacks(spellings[0]);
  }
  if (!missing.empty()) throw ModelError(fileName, ModelProblem::kMissingBones, missing);

  const auto hips = static_cast<std::size_t>(HumanoidBone::kHips);
  if (const PmxBone* lower = find(kHips)) {
    skeleton.joints[hips] = PointOf(*lower);
  } else {
    const ModelPoint& left = skeleton.Joint(HumanoidBone::kLeftUpperLeg);
    const ModelPoint& right = skeleton.Joint(HumanoidBone::kRightUpperLeg);
    skeleton.joints[hips] = {(left.x + right.x) / 2, (left.y + right.y) / 2,
                             (left.z + right.z) / 2};
  }
  skeleton.present[hips] = true;

  skeleton.name = !model.name.empty()          ? model.name
                  : !model.englishName.empty() ? model.englishName
                                               : std::filesystem::path(fileName).stem().string();
  return character;
}

}  // namespace pavaneflow
