#include "motion/model_proportions.h"

#include <cmath>
#include <numbers>

namespace pavaneflow {
namespace {

struct Point {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

Point Minus(const ModelPoint& a, const ModelPoint& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}

double Length(const Point& p) {
  return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
}

// A joint's place as the left side's: the mean of the left joint and the mirrored right one.
Point Pair(const HumanoidSkeleton& skeleton, HumanoidBone left, HumanoidBone right) {
  const ModelPoint& l = skeleton.Joint(left);
  const ModelPoint& r = skeleton.Joint(right);
  return {(l.x - r.x) / 2, (l.y + r.y) / 2, (l.z + r.z) / 2};
}

float Float(double value) {
  return static_cast<float>(value);
}

}  // namespace

BodyProportions ProportionsOf(const CharacterModel& model) {
  const HumanoidSkeleton& s = model.skeleton;
  const Point hip = Pair(s, HumanoidBone::kLeftUpperLeg, HumanoidBone::kRightUpperLeg);
  const Point knee = Pair(s, HumanoidBone::kLeftLowerLeg, HumanoidBone::kRightLowerLeg);
  const Point ankle = Pair(s, HumanoidBone::kLeftFoot, HumanoidBone::kRightFoot);

  BodyProportions body;
  body.hipX = Float(hip.x);
  body.hipY = Float(hip.y);
  body.ankleX = Float(ankle.x);
  body.ankleY = Float(ankle.y);
  body.ankleZ = Float(ankle.z);
  // The hip–ankle line's z at the knee's height, less the knee's z: forwards is −z.
  const double along = (hip.y - knee.y) / (hip.y - ankle.y);
  body.kneeForward = Float(hip.z + along * (ankle.z - hip.z) - knee.z);
  auto mean = [&s](HumanoidBone leftFrom, HumanoidBone leftTo, HumanoidBone rightFrom,
                   HumanoidBone rightTo) {
    return Float((Length(Minus(s.Joint(leftFrom), s.Joint(leftTo))) +
                  Length(Minus(s.Joint(rightFrom), s.Joint(rightTo)))) /
                 2);
  };
  body.thigh = mean(HumanoidBone::kLeftUpperLeg, HumanoidBone::kLeftLowerLeg,
                    HumanoidBone::kRightUpperLeg, HumanoidBone::kRightLowerLeg);
  body.shin = mean(HumanoidBone::kLeftLowerLeg, HumanoidBone::kLeftFoot,
                   HumanoidBone::kRightLowerLeg, HumanoidBone::kRightFoot);

  const double scale = body.PadScale();
  body.centreY =
      model.centre
          ? Float(model.centre->y)
          : Float(static_cast<double>(body.ankleY) +
                  static_cast<double>(kReferenceBody.centreY - kReferenceBody.ankleY) * scale);

  const Point shoulder = Pair(s, HumanoidBone::kLeftUpperArm, HumanoidBone::kRightUpperArm);
  body.shoulderX = Float(shoulder.x);
  body.shoulderY = Float(shoulder.y);
  // The upper arm towards the elbow, the right one mirrored onto the left.
  const Point left =
      Minus(s.Joint(HumanoidBone::kLeftLowerArm), s.Joint(HumanoidBone::kLeftUpperArm));
  const Point right =
      Minus(s.Joint(HumanoidBone::kRightLowerArm), s.Joint(HumanoidBone::kRightUpperArm));
  const Point arm{(left.x - right.x) / 2, (left.y + right.y) / 2, (left.z + right.z) / 2};
  if (Length(arm) > 0.0) {
    constexpr double kDegrees = 180.0 / std::numbers::pi;
    body.upperArmDropDegrees = Float(std::atan2(-arm.y, std::hypot(arm.x, arm.z)) * kDegrees);
    body.upperArmForwardDegrees = Float(std::atan2(-arm.z, arm.x) * kDegrees);
  }
  return body;
}

}  // namespace pavaneflow
