#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "motion/bone_names.h"
#include "motion/rotation.h"
#include "vmd/motion_document.h"

namespace pavaneflow {

// One key frame of a dance written by hand.
struct DanceKey {
  std::u16string_view bone;
  std::int32_t frame = 0;
  Vec3 position{};
  Quaternion rotation{0.0, 0.0, 0.0, 1.0};
  const InterpolationBytes* interpolation = &kDefaultInterpolation;
};

template <std::size_t N>
void AddKeys(MotionDocument& dance, const std::array<DanceKey, N>& keys) {
  for (const DanceKey& key : keys) {
    MotionFrame* frame = dance.InsertFrame(key.bone, key.frame);
    frame->position = {static_cast<float>(key.position.x), static_cast<float>(key.position.y),
                       static_cast<float>(key.position.z)};
    frame->rotation = ToFloats(key.rotation);
    frame->interpolation = key.interpolation;
  }
}

inline Quaternion Yaw(double degrees) {
  return AxisAngle({0.0, 1.0, 0.0}, degrees * kDegree);
}

// A few steps on the reference body: the centre dips and turns, the left foot steps forward and
// back, the right one lifts, the arms swing and the upper body twists.
inline void AddSmallDance(MotionDocument& dance) {
  AddKeys(dance, std::array<DanceKey, 14>{{
                     {kCentreBone, 0, {0.0, 0.0, 0.0}, Yaw(0.0)},
                     {kLeftFootIkBone, 0, {0.0, 0.0, 0.0}},
                     {kRightFootIkBone, 0, {0.0, 0.0, 0.0}},
                     {kCentreBone, 6, {0.2, -1.0, -0.5}, Yaw(20.0)},
                     {kLeftFootIkBone, 6, {0.3, 0.0, -2.5}, Yaw(15.0)},
                     {kRightFootIkBone, 6, {0.0, 1.5, 0.5}},
                     {kUpperBodyBone, 6, {}, Yaw(-10.0)},
                     {kNeckBone, 6, {}, Yaw(-5.0)},
                     {kLeftArmBone, 6, {}, AxisAngle({1.0, 0.0, 0.0}, 0.3)},
                     {kRightElbowBone, 6, {}, AxisAngle({0.0, 1.0, 0.0}, 0.4)},
                     {kCentreBone, 12, {0.0, -0.5, 0.0}, Yaw(40.0)},
                     {kLeftFootIkBone, 12, {0.0, 0.0, 0.0}, Yaw(40.0)},
                     {kRightFootIkBone, 12, {0.0, 0.0, 0.0}, Yaw(40.0)},
                     {kLeftArmBone, 12, {}, AxisAngle({0.0, 0.0, 1.0}, -0.4)},
                 }});
}

}  // namespace pavaneflow
