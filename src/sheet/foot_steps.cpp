#include "sheet/foot_steps.h"

#include <algorithm>
#include <cmath>

#include "motion/pad/motion_constants.h"

namespace pavaneflow {
namespace {

// Heights and distances below this are taken as none: the motion stores 32-bit floats.
constexpr double kEpsilon = 1e-3;

bool OnFloor(const BoneKey& key) {
  return std::fabs(static_cast<double>(key.position[1])) < kEpsilon;
}

bool SamePlace(const BoneKey& a, const BoneKey& b) {
  return std::fabs(static_cast<double>(a.position[0]) - static_cast<double>(b.position[0])) <
             kEpsilon &&
         std::fabs(static_cast<double>(a.position[2]) - static_cast<double>(b.position[2])) <
             kEpsilon;
}

// Frame numbers at which the centre is in the air, ascending.
std::vector<std::int32_t> JumpFrames(const BoneTrack& centre) {
  std::vector<std::int32_t> frames;
  for (const BoneKey& key : centre.Keys()) {
    if (static_cast<double>(key.position[1]) > kEpsilon) frames.push_back(key.frameNumber);
  }
  return frames;
}

// Whether the centre was in the air after `from` and up to `to`.
bool JumpedBetween(const std::vector<std::int32_t>& jumps, std::int32_t from, std::int32_t to) {
  const auto after = std::upper_bound(jumps.begin(), jumps.end(), from);
  return after != jumps.end() && *after <= to;
}

void AddLandings(Foot foot, const BoneTrack& track, const std::vector<std::int32_t>& jumps,
                 std::vector<FootStep>& steps) {
  const BoneKey* standing = nullptr;
  bool lifted = false;
  for (const BoneKey& key : track.Keys()) {
    if (!OnFloor(key)) {
      lifted = true;
      continue;
    }
    if (standing != nullptr && (lifted || !SamePlace(*standing, key) ||
                                JumpedBetween(jumps, standing->frameNumber, key.frameNumber))) {
      const std::array<double, 3> position{static_cast<double>(key.position[0]), 0.0,
                                           static_cast<double>(key.position[2])};
      steps.push_back({foot, key.frameNumber, ArrowUnderFoot(foot, position)});
    }
    standing = &key;
    lifted = false;
  }
}

}  // namespace

FloorPoint ArrowUnderFoot(Foot foot, const std::array<double, 3>& position) {
  const double offset = static_cast<double>(kFootIkOffset);
  const double x = foot == Foot::kLeft ? position[0] + offset : position[0] - offset;
  return {static_cast<float>(x), static_cast<float>(position[2])};
}

std::vector<FootStep> FindFootSteps(const BoneTrack& leftFoot, const BoneTrack& rightFoot,
                                    const BoneTrack& centre) {
  const std::vector<std::int32_t> jumps = JumpFrames(centre);
  std::vector<FootStep> steps;
  AddLandings(Foot::kLeft, leftFoot, jumps, steps);
  AddLandings(Foot::kRight, rightFoot, jumps, steps);
  std::stable_sort(steps.begin(), steps.end(), [](const FootStep& a, const FootStep& b) {
    return a.frameNumber < b.frameNumber;
  });
  for (std::size_t i = 0; i < steps.size(); ++i) {
    FootStep& step = steps[i];
    if (i + 1 < steps.size() && steps[i + 1].frameNumber == step.frameNumber &&
        steps[i + 1].foot != step.foot) {
      step.jump = steps[i + 1].jump = true;
    }
    const auto frame = static_cast<double>(step.frameNumber);
    const FloorPoint left = ArrowUnderFoot(Foot::kLeft, leftFoot.At(frame).position);
    const FloorPoint right = ArrowUnderFoot(Foot::kRight, rightFoot.At(frame).position);
    step.crossed = left.x > right.x;
  }
  return steps;
}

}  // namespace pavaneflow
