#pragma once

#include <array>

#include "motion/body_proportions.h"
#include "motion/figures/body_tracks.h"
#include "motion/figures/leg_ik.h"
#include "motion/rotation.h"

namespace pavaneflow {

// The reference body at one moment, posed from the key frames: the centre moved and turned, each
// foot IK target placed, each leg solved, the head and the upper arms turned. Index 0 is the
// left side, 1 the right. Yaws are radians from the viewer's side (−z), positive towards −x.
struct BodyPose {
  double centreRise = 0.0;  // the centre's height above its rest height
  Vec3 centre;              // where the centre bone is, the pelvis with it
  double hipsYaw = 0.0;
  double headYaw = 0.0;
  double headPitch = 0.0;  // radians of the head's forward above the horizontal
  double torsoLean = 0.0;  // radians of the upper body's up from the vertical
  std::array<Vec3, 2> hip;
  std::array<Vec3, 2> target;    // the foot IK targets, at the ankles' height when on the floor
  std::array<double, 2> lift{};  // the targets' height above their rest height
  std::array<LegPose, 2> legs;
  std::array<Vec3, 2> upperArm;  // each upper arm's direction in the upper body's frame
};

BodyPose PoseBody(const BodyTracks& tracks, double frame,
                  const BodyProportions& body = kReferenceBody);

// The yaw of a forward direction, radians, as in BodyPose.
double YawOf(Vec3 forward);

}  // namespace pavaneflow
