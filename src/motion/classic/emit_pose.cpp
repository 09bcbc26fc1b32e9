#include "motion/classic/emit_pose.h"

#include <cmath>

#include "motion/bone_names.h"
#include "motion/classic/crouch_height.h"
#include "motion/pad/motion_constants.h"
#include "motion/yaw_quaternion.h"

namespace pavaneflow {
namespace {

constexpr double kBeatDip = 0.5;

}  // namespace

void EmitPose(MotionDocument& document, StepPose& pose, const GenerationRequest& request) {
  if (pose.frameNumber < 0) return;
  const auto q = YawQuaternion(pose.facing);

  MotionFrame* centre = document.InsertFrame(kCentreBone, pose.frameNumber);
  float h = CrouchHeight(pose);
  if (pose.onBeat) h = static_cast<float>(static_cast<double>(h) - kBeatDip);
  centre->position = {pose.centre.x, h, pose.centre.z};
  centre->rotation = q;
  pose.centreFrame = centre;

  MotionFrame* left = document.InsertFrame(kLeftFootIkBone, pose.frameNumber);
  left->position = {pose.left.position.x, 0.0f, pose.left.position.z};
  left->rotation = q;
  MotionFrame* right = document.InsertFrame(kRightFootIkBone, pose.frameNumber);
  right->position = {pose.right.position.x, 0.0f, pose.right.position.z};
  right->rotation = q;

  if (!request.twist) return;
  const auto d = static_cast<float>(static_cast<double>(kPi) - static_cast<double>(pose.facing));
  // Crossed feet (or a facing that is not a number) turn too far for a twist to look right.
  if (!(std::fabs(d) <= kHalfPi)) return;
  const auto t = YawQuaternion(static_cast<float>(static_cast<double>(d) * 0.5));
  document.InsertFrame(kUpperBodyBone, pose.frameNumber)->rotation = t;
  document.InsertFrame(kNeckBone, pose.frameNumber)->rotation = t;
}

}  // namespace pavaneflow
