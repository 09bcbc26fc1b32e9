#include "motion/figures/body_pose.h"

#include <algorithm>
#include <cmath>

namespace pavaneflow {
namespace {

Quaternion RotationOf(const BonePose& pose) {
  return {pose.rotation[0], pose.rotation[1], pose.rotation[2], pose.rotation[3]};
}

Vec3 PositionOf(const BonePose& pose) {
  return {pose.position[0], pose.position[1], pose.position[2]};
}

}  // namespace

double YawOf(Vec3 forward) {
  return std::atan2(-forward.x, -forward.z);
}

BodyPose PoseBody(const BodyTracks& tracks, double frame, const BodyProportions& body) {
  const BonePose centre = tracks.centre.At(frame);
  const Quaternion turn = RotationOf(centre);
  const Vec3 moved = PositionOf(centre);
  const Vec3 centreAt = Vec3{0.0, static_cast<double>(body.centreY), 0.0} + moved;
  const Vec3 forward = Rotate(turn, {0.0, 0.0, -1.0});

  BodyPose pose;
  pose.centreRise = moved.y;
  pose.centre = centreAt;
  pose.hipsYaw = YawOf(forward);
  const Quaternion chest = Compose(turn, RotationOf(tracks.upperBody.At(frame)));
  const Quaternion head = Compose(chest, RotationOf(tracks.neck.At(frame)));
  const Vec3 headForward = Rotate(head, {0.0, 0.0, -1.0});
  pose.headYaw = YawOf(headForward);
  pose.headPitch = std::asin(std::clamp(headForward.y / Length(headForward), -1.0, 1.0));
  const Vec3 up = Rotate(chest, {0.0, 1.0, 0.0});
  pose.torsoLean = std::acos(std::clamp(up.y / Length(up), -1.0, 1.0));

  const double thigh = static_cast<double>(body.thigh);
  const double shin = static_cast<double>(body.shin);
  const double drop = static_cast<double>(body.upperArmDropDegrees) * kDegree;
  const BoneTrack* feet[2] = {&tracks.leftFootIk, &tracks.rightFootIk};
  const BoneTrack* arms[2] = {&tracks.leftArm, &tracks.rightArm};
  for (std::size_t side = 0; side < 2; ++side) {
    const double outwards = side == 0 ? 1.0 : -1.0;  // the model's left is +x
    const Vec3 hip = centreAt + Rotate(turn, {outwards * static_cast<double>(body.hipX),
                                              static_cast<double>(body.hipY - body.centreY), 0.0});
    pose.hip[side] = hip;
    const Vec3 ik = PositionOf(feet[side]->At(frame));
    pose.lift[side] = ik.y;
    pose.target[side] =
        Vec3{outwards * static_cast<double>(body.ankleX), static_cast<double>(body.ankleY), 0.0} +
        ik;
    pose.legs[side] = SolveLeg(hip, pose.target[side], forward, thigh, shin);
    pose.upperArm[side] = Rotate(RotationOf(arms[side]->At(frame)),
                                 {outwards * std::cos(drop), -std::sin(drop), 0.0});
  }
  return pose;
}

}  // namespace pavaneflow
