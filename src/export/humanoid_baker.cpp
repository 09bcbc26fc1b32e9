#include "export/humanoid_baker.h"

#include <stdexcept>

#include "export/rotation_tools.h"
#include "motion/figures/leg_ik.h"

namespace pavaneflow {
namespace {

constexpr Vec3 kFront{0.0, 0.0, -1.0};  // the figure faces the viewer, −z
constexpr Vec3 kDown{0.0, -1.0, 0.0};

Quaternion RotationOf(const BonePose& pose) {
  return {pose.rotation[0], pose.rotation[1], pose.rotation[2], pose.rotation[3]};
}

Vec3 PositionOf(const BonePose& pose) {
  return {pose.position[0], pose.position[1], pose.position[2]};
}

std::size_t Index(HumanoidBone bone) {
  return static_cast<std::size_t>(bone);
}

// The axis the knee bends about, from a solved leg: square to the plane of hip, knee and ankle,
// pointing to the figure's left when the knee points forward. A straight leg has no such plane:
// its knee would bend towards `front`, as SolveLeg bends it.
Vec3 KneeAxis(Vec3 hip, Vec3 along, const LegPose& leg, Vec3 front) {
  const Vec3 knee = leg.knee - hip;
  Vec3 side = knee - Dot(knee, along) * along;
  if (Length(side) < 1e-6 * Length(knee)) {
    side = SquareTo(front, along, SquareTo(Vec3{1.0, 0.0, 0.0}, along, kFront));
  }
  return Normalized(Cross(along, side));
}

}  // namespace

HumanoidBaker::HumanoidBaker(const MotionDocument& dance, const HumanoidSkeleton& skeleton,
                             const BodyProportions& body)
    : rest_(skeleton),
      tracks_(BodyTracks::FromDocument(dance)),
      centre_{0.0, static_cast<double>(body.centreY), 0.0},
      legs_{MakeLeg(HumanoidBone::kLeftUpperLeg, HumanoidBone::kLeftLowerLeg,
                    HumanoidBone::kLeftFoot, HumanoidBone::kLeftToes),
            MakeLeg(HumanoidBone::kRightUpperLeg, HumanoidBone::kRightLowerLeg,
                    HumanoidBone::kRightFoot, HumanoidBone::kRightToes)} {
  if (tracks_.LastFrame() >= kMostFrames) {
    throw std::length_error("the dance is too long to be written frame by frame");
  }
}

HumanoidBaker::Leg HumanoidBaker::MakeLeg(HumanoidBone upper, HumanoidBone lower, HumanoidBone foot,
                                          HumanoidBone toes) const {
  Leg leg;
  leg.upper = upper;
  leg.lower = lower;
  leg.foot = foot;
  leg.toes = toes;
  const Vec3 hip = rest_.Joint(upper);
  const Vec3 knee = rest_.Joint(lower);
  const Vec3 ankle = rest_.Joint(foot);
  leg.thigh = Length(knee - hip);
  leg.shin = Length(ankle - knee);
  leg.thighAlong = leg.thigh > 0.0 ? (1.0 / leg.thigh) * (knee - hip) : kDown;
  leg.shinAlong = leg.shin > 0.0 ? (1.0 / leg.shin) * (ankle - knee) : kDown;
  leg.thighFront = SquareTo(kFront, leg.thighAlong, kDown);
  leg.shinFront = SquareTo(kFront, leg.shinAlong, kDown);
  return leg;
}

HumanoidPose HumanoidBaker::Pose(std::int32_t frame) const {
  const auto at = static_cast<double>(frame);
  // The rotation of each bone in the world, from the T-pose.
  std::array<Quaternion, kHumanoidBoneCount> world{};

  const BonePose centre = tracks_.centre.At(at);
  const Quaternion turn = RotationOf(centre);
  const Vec3 centreAt = centre_ + PositionOf(centre);
  const Vec3 hips = centreAt + Rotate(turn, rest_.Joint(HumanoidBone::kHips) - centre_);
  world[Index(HumanoidBone::kHips)] = turn;

  const Quaternion spine = Compose(turn, RotationOf(tracks_.upperBody.At(at)));
  world[Index(HumanoidBone::kSpine)] = spine;
  world[Index(HumanoidBone::kChest)] = spine;
  const Quaternion neck = Compose(spine, RotationOf(tracks_.neck.At(at)));
  world[Index(HumanoidBone::kNeck)] = neck;
  world[Index(HumanoidBone::kHead)] = neck;

  struct Arm {
    HumanoidBone shoulder, upper, lower, hand;
    const BoneTrack& arm;
    const BoneTrack& elbow;
  };
  const Arm arms[] = {
      {HumanoidBone::kLeftShoulder, HumanoidBone::kLeftUpperArm, HumanoidBone::kLeftLowerArm,
       HumanoidBone::kLeftHand, tracks_.leftArm, tracks_.leftElbow},
      {HumanoidBone::kRightShoulder, HumanoidBone::kRightUpperArm, HumanoidBone::kRightLowerArm,
       HumanoidBone::kRightHand, tracks_.rightArm, tracks_.rightElbow}};
  for (const Arm& a : arms) {
    // The dance turns each arm bone from the figure's own rest pose; the rest turn brings the
    // T-pose there first.
    world[Index(a.shoulder)] = spine;
    const Quaternion upper = Compose(spine, RotationOf(a.arm.At(at)));
    const Quaternion lower = Compose(upper, RotationOf(a.elbow.At(at)));
    world[Index(a.upper)] = Compose(upper, rest_.RestTurn(a.upper));
    world[Index(a.lower)] = Compose(lower, rest_.RestTurn(a.lower));
    world[Index(a.hand)] = Compose(lower, rest_.RestTurn(a.hand));
  }

  const Vec3 front = Rotate(turn, kFront);
  const BoneTrack* iks[2] = {&tracks_.leftFootIk, &tracks_.rightFootIk};
  for (std::size_t side = 0; side < 2; ++side) {
    const Leg& leg = legs_[side];
    const Vec3 hip = hips + Rotate(turn, rest_.Joint(leg.upper) - rest_.Joint(HumanoidBone::kHips));
    const BonePose ik = iks[side]->At(at);
    const Vec3 target = rest_.Joint(leg.foot) + PositionOf(ik);
    const LegPose solved = SolveLeg(hip, target, front, leg.thigh, leg.shin);
    const Vec3 reach = target - hip;
    const Vec3 along = Length(reach) > 1e-9 ? Normalized(reach) : kDown;
    const Vec3 axis = KneeAxis(hip, along, solved, front);
    const Vec3 thigh = SquareTo(solved.knee - hip, axis, along);
    const Vec3 shin = SquareTo(solved.ankle - solved.knee, axis, along);
    world[Index(leg.upper)] =
        RotationOnto(leg.thighAlong, leg.thighFront, thigh, Cross(axis, thigh));
    world[Index(leg.lower)] = RotationOnto(leg.shinAlong, leg.shinFront, shin, Cross(axis, shin));
    world[Index(leg.foot)] = RotationOf(ik);
    world[Index(leg.toes)] = world[Index(leg.foot)];
  }

  HumanoidPose pose;
  pose.hips = hips;
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    const auto bone = static_cast<HumanoidBone>(i);
    if (!rest_.Has(bone)) {
      pose.turns[i] = {0.0, 0.0, 0.0, 1.0};
    } else if (bone == HumanoidBone::kHips) {
      pose.turns[i] = world[i];
    } else {
      pose.turns[i] = Compose(Conjugate(world[Index(rest_.Parent(bone))]), world[i]);
    }
  }
  return pose;
}

}  // namespace pavaneflow
