#include "export/humanoid_baker.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "export/rotation_tools.h"
#include "motion/bone_names.h"
#include "motion/leg_ik.h"

namespace pavaneflow {
namespace {

constexpr std::u16string_view kDanceBones[] = {kCentreBone,    kLeftFootIkBone, kRightFootIkBone,
                                               kUpperBodyBone, kNeckBone,       kLeftArmBone,
                                               kRightArmBone,  kLeftElbowBone,  kRightElbowBone};
enum DanceBone : std::size_t {
  kCentre,
  kLeftFootIk,
  kRightFootIk,
  kUpperBody,
  kNeck,
  kLeftArm,
  kRightArm,
  kLeftElbow,
  kRightElbow
};

// What turns each humanoid bone in the world, by HumanoidBone: a bone of the dance, or the leg
// solve.
enum class Driver {
  kCentre,
  kUpperBody,
  kNeck,
  kLeftArm,
  kLeftElbow,
  kRightArm,
  kRightElbow,
  kLeftThigh,
  kLeftShin,
  kLeftFoot,
  kRightThigh,
  kRightShin,
  kRightFoot
};
constexpr std::array<Driver, kHumanoidBoneCount> kDrivers = {
    Driver::kCentre,     Driver::kUpperBody,  Driver::kUpperBody, Driver::kNeck,
    Driver::kNeck,       Driver::kUpperBody,  Driver::kLeftArm,   Driver::kLeftElbow,
    Driver::kLeftElbow,  Driver::kUpperBody,  Driver::kRightArm,  Driver::kRightElbow,
    Driver::kRightElbow, Driver::kLeftThigh,  Driver::kLeftShin,  Driver::kLeftFoot,
    Driver::kLeftFoot,   Driver::kRightThigh, Driver::kRightShin, Driver::kRightFoot,
    Driver::kRightFoot};

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
      bones_(BoneCursor::ForBones(dance, kDanceBones)),
      centre_{0.0, static_cast<double>(body.centreY), 0.0},
      legs_{MakeLeg(HumanoidBone::kLeftUpperLeg, HumanoidBone::kLeftLowerLeg,
                    HumanoidBone::kLeftFoot, HumanoidBone::kLeftToes),
            MakeLeg(HumanoidBone::kRightUpperLeg, HumanoidBone::kRightLowerLeg,
                    HumanoidBone::kRightFoot, HumanoidBone::kRightToes)} {
  std::int32_t last = 0;
  for (const BoneCursor& bone : bones_) last = std::max(last, bone.LastFrame());
  if (last >= kMostFrames) {
    throw std::length_error("the dance is too long to be written frame by frame");
  }
  frames_ = last + 1;
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    const auto bone = static_cast<HumanoidBone>(i);
    const HumanoidBone parent = rest_.Parent(bone);
    still_[i] = bone != HumanoidBone::kHips && kDrivers[i] == kDrivers[Index(parent)] &&
                rest_.RestTurn(bone) == rest_.RestTurn(parent);
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
  const Vec3 thigh = leg.thigh > 0.0 ? (1.0 / leg.thigh) * (knee - hip) : kDown;
  const Vec3 shin = leg.shin > 0.0 ? (1.0 / leg.shin) * (ankle - knee) : kDown;
  leg.thighFromRest = Conjugate(BoneFrame(thigh, SquareTo(kFront, thigh, kDown)));
  leg.shinFromRest = Conjugate(BoneFrame(shin, SquareTo(kFront, shin, kDown)));
  return leg;
}

HumanoidPose HumanoidBaker::Pose(std::int32_t frame) {
  const auto at = [&](DanceBone bone) { return bones_[bone].At(frame); };
  // The rotation of each bone in the world, from the T-pose.
  std::array<Quaternion, kHumanoidBoneCount> world;

  const BonePose centre = at(kCentre);
  const Quaternion turn = RotationOf(centre);
  const Vec3 centreAt = centre_ + PositionOf(centre);
  const Vec3 hips = centreAt + Rotate(turn, rest_.Joint(HumanoidBone::kHips) - centre_);
  world[Index(HumanoidBone::kHips)] = turn;

  const Quaternion spine = Compose(turn, RotationOf(at(kUpperBody)));
  world[Index(HumanoidBone::kSpine)] = spine;
  world[Index(HumanoidBone::kChest)] = spine;
  const Quaternion neck = Compose(spine, RotationOf(at(kNeck)));
  world[Index(HumanoidBone::kNeck)] = neck;
  world[Index(HumanoidBone::kHead)] = neck;

  struct Arm {
    HumanoidBone shoulder, upper, lower, hand;
    DanceBone arm, elbow;
  };
  constexpr Arm arms[] = {
      {HumanoidBone::kLeftShoulder, HumanoidBone::kLeftUpperArm, HumanoidBone::kLeftLowerArm,
       HumanoidBone::kLeftHand, kLeftArm, kLeftElbow},
      {HumanoidBone::kRightShoulder, HumanoidBone::kRightUpperArm, HumanoidBone::kRightLowerArm,
       HumanoidBone::kRightHand, kRightArm, kRightElbow}};
  for (const Arm& a : arms) {
    // The dance turns each arm bone from the figure's own rest pose; the rest turn brings the
    // T-pose there first.
    world[Index(a.shoulder)] = spine;
    const Quaternion upper = Compose(spine, RotationOf(at(a.arm)));
    const Quaternion lower = Compose(upper, RotationOf(at(a.elbow)));
    world[Index(a.upper)] = Compose(upper, rest_.RestTurn(a.upper));
    world[Index(a.lower)] = Compose(lower, rest_.RestTurn(a.lower));
    world[Index(a.hand)] = Compose(lower, rest_.RestTurn(a.hand));
  }

  const Vec3 front = Rotate(turn, kFront);
  constexpr DanceBone iks[2] = {kLeftFootIk, kRightFootIk};
  for (std::size_t side = 0; side < 2; ++side) {
    const Leg& leg = legs_[side];
    const Vec3 hip = hips + Rotate(turn, rest_.Joint(leg.upper) - rest_.Joint(HumanoidBone::kHips));
    const BonePose ik = at(iks[side]);
    const Vec3 target = rest_.Joint(leg.foot) + PositionOf(ik);
    const LegPose solved = PlaceLeg(hip, target, front, leg.thigh, leg.shin);
    const Vec3 reach = target - hip;
    const Vec3 along = Length(reach) > 1e-9 ? Normalized(reach) : kDown;
    const Vec3 axis = KneeAxis(hip, along, solved, front);
    const Vec3 thigh = SquareTo(solved.knee - hip, axis, along);
    const Vec3 shin = SquareTo(solved.ankle - solved.knee, axis, along);
    world[Index(leg.upper)] = Compose(BoneFrame(thigh, Cross(axis, thigh)), leg.thighFromRest);
    world[Index(leg.lower)] = Compose(BoneFrame(shin, Cross(axis, shin)), leg.shinFromRest);
    world[Index(leg.foot)] = RotationOf(ik);
    world[Index(leg.toes)] = world[Index(leg.foot)];
  }

  HumanoidPose pose;
  pose.hips = hips;
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    const auto bone = static_cast<HumanoidBone>(i);
    if (!rest_.Has(bone) || still_[i]) {
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
