#pragma once

#include <array>

#include "motion/body_proportions.h"
#include "motion/figures/body_tracks.h"
#include "motion/leg_ik.h"
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

// Where the rest of the joints stand whose speed gives the dance's own beats, and whose feet's
// slide counts against the pelvis's push, placed as the player places the model's bones: the
// lower body's origin (the upper body's too), the neck, the head, each side's toe, shoulder,
// upper arm, elbow and wrist. A fitted body keeps the reference's neck, head, shoulders, forearms
// and feet, sized as its legs are.
struct BodyJoints {
  Vec3 pelvis;
  Vec3 neck;
  Vec3 head;
  std::array<Vec3, 2> toe;
  std::array<Vec3, 2> shoulder;
  std::array<Vec3, 2> arm;
  std::array<Vec3, 2> elbow;
  std::array<Vec3, 2> wrist;
};

// Poses the body at `frame`, and places the other joints in `joints` when given.
BodyPose PoseBody(const BodyTracks& tracks, double frame,
                  const BodyProportions& body = kReferenceBody, BodyJoints* joints = nullptr);

// The yaw of a forward direction, radians, as in BodyPose.
double YawOf(Vec3 forward);

}  // namespace pavaneflow
