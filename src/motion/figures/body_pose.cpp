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

// The reference model's joints that BodyProportions leaves out, in units at rest.
constexpr double kUpperBodyAboveCentre = 3.5;  // the lower and the upper body's origin
constexpr double kNeckAboveUpperBody = 4.7;
constexpr double kHeadAboveNeck = 1.0;
constexpr double kShoulderInwards = 1.25;  // the shoulder bone, from the upper arm's joint
constexpr double kShoulderAbove = 0.3;
constexpr double kUpperArm = 3.0;
constexpr double kForearm = 2.8;
constexpr Vec3 kToeFromAnkle{0.0, -1.15, -1.5};

}  // namespace

double YawOf(Vec3 forward) {
  return std::atan2(-forward.x, -forward.z);
}

BodyPose PoseBody(const BodyTracks& tracks, double frame, const BodyProportions& body,
                  BodyJoints* joints) {
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
  const BoneTrack* elbows[2] = {&tracks.leftElbow, &tracks.rightElbow};
  const double size = body.PadScale();
  const Vec3 upperBody = centreAt + Rotate(turn, {0.0, kUpperBodyAboveCentre * size, 0.0});
  if (joints != nullptr) {
    joints->pelvis = upperBody;
    joints->neck = upperBody + Rotate(chest, {0.0, kNeckAboveUpperBody * size, 0.0});
    joints->head = joints->neck + Rotate(head, {0.0, kHeadAboveNeck * size, 0.0});
  }
  for (std::size_t side = 0; side < 2; ++side) {
    const double outwards = side == 0 ? 1.0 : -1.0;  // the model's left is +x
    const Vec3 hip = HipAt(body, centreAt, turn, side);
    pose.hip[side] = hip;
    const BonePose foot = feet[side]->At(frame);
    const Vec3 ik = PositionOf(foot);
    pose.lift[side] = ik.y;
    pose.target[side] = FootTarget(body, ik, side);
    pose.legs[side] = SolveLeg(hip, pose.target[side], forward, thigh, shin);
    const Quaternion arm = RotationOf(arms[side]->At(frame));
    const Vec3 hanging{outwards * std::cos(drop), -std::sin(drop), 0.0};
    pose.upperArm[side] = Rotate(arm, hanging);
    if (joints == nullptr) continue;

    const Vec3 armJoint{
        outwards * static_cast<double>(body.shoulderX),
        static_cast<double>(body.shoulderY - body.centreY) - kUpperBodyAboveCentre * size, 0.0};
    joints->arm[side] = upperBody + Rotate(chest, armJoint);
    joints->shoulder[side] =
        upperBody + Rotate(chest, armJoint + Vec3{-outwards * kShoulderInwards * size,
                                                  kShoulderAbove * size, 0.0});
    const Quaternion upperArm = Compose(chest, arm);
    joints->elbow[side] = joints->arm[side] + Rotate(upperArm, (kUpperArm * size) * hanging);
    const Quaternion forearm = Compose(upperArm, RotationOf(elbows[side]->At(frame)));
    joints->wrist[side] = joints->elbow[side] + Rotate(forearm, (kForearm * size) * hanging);
    // The toe turns about the ankle towards where the foot's IK bone carries it.
    const Vec3 toeOffset = size * kToeFromAnkle;
    const Vec3 towards =
        pose.target[side] + Rotate(RotationOf(foot), toeOffset) - pose.legs[side].ankle;
    const double reach = Length(towards);
    joints->toe[side] =
        pose.legs[side].ankle + (reach > 0.0 ? (Length(toeOffset) / reach) * towards : toeOffset);
  }
  return pose;
}

}  // namespace pavaneflow
