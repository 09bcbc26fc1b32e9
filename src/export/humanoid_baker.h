#pragma once

#include <array>
#include <cstdint>

#include "export/humanoid_pose.h"
#include "export/humanoid_rest.h"
#include "model/humanoid_skeleton.h"
#include "motion/body_proportions.h"
#include "vmd/bone_cursor.h"
#include "vmd/motion_document.h"

namespace pavaneflow {

// Turns a dance made for the bones of the motion tools (the centre, the foot IK bones, the upper
// body, the neck, the arms and elbows) into the pose of a humanoid figure on every frame, for
// players without IK. Each bone is sampled as VMD players sample it (BoneCursor: the Bézier
// curves of the key frames, spherical interpolation of rotations); each leg is solved from its foot
// IK target (SolveLeg: two bones, the knee bending towards the body's front, the ankle on the
// target or on the straight leg towards it), and the foot takes the foot IK bone's own rotation, so
// it stays level with the floor unless the dance tilts it.
//
// `skeleton` is the figure the dance was made for at rest, with its foot IK bones on its ankles;
// `body` gives the height of its centre bone, about which the dance turns the body. The dance
// must outlive the baker.
class HumanoidBaker {
 public:
  // A hundred hours: a file of every frame of a longer dance would take days to write and more
  // than the 4 GiB a VRM Animation file can hold.
  static constexpr std::int32_t kMostFrames = 100 * 60 * 60 * 30;

  // Throws std::length_error for a dance of more than kMostFrames frames.
  HumanoidBaker(const MotionDocument& dance, const HumanoidSkeleton& skeleton,
                const BodyProportions& body);

  // The T-pose the poses are relative to.
  const HumanoidRest& Rest() const { return rest_; }
  // Frames 0 to the dance's last key frame, 30 a second; 1 for a dance without key frames.
  std::int32_t FrameCount() const { return frames_; }
  // The figure at `frame`; fastest for frames in order.
  HumanoidPose Pose(std::int32_t frame);
  // Whether `bone` (one that is there) never turns against its parent: it follows the same bone
  // of the dance from the same rest pose (the chest the upper body as the spine does, the head
  // the neck, the shoulders the upper body, the hands the elbows, the toes the foot IK bone).
  bool Still(HumanoidBone bone) const { return still_[static_cast<std::size_t>(bone)]; }

 private:
  struct Leg {
    HumanoidBone upper, lower, foot, toes;
    double thigh = 0.0;
    double shin = 0.0;
    // The turns that take each bone at rest to lie along y with its front along z.
    Quaternion thighFromRest, shinFromRest;
  };

  Leg MakeLeg(HumanoidBone upper, HumanoidBone lower, HumanoidBone foot, HumanoidBone toes) const;

  HumanoidRest rest_;
  // The centre, the left and right foot IK bones, the upper body, the neck, the left and right
  // arms and elbows.
  std::vector<BoneCursor> bones_;
  std::int32_t frames_ = 1;
  std::array<bool, kHumanoidBoneCount> still_{};
  Vec3 centre_;              // the centre bone at rest
  std::array<Leg, 2> legs_;  // left, right
};

}  // namespace pavaneflow
