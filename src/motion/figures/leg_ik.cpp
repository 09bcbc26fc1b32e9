#include "motion/figures/leg_ik.h"

#include <algorithm>
#include <cmath>

namespace pavaneflow {
namespace {

LegPose Solve(Vec3 hip, Vec3 target, Vec3 forward, double thigh, double shin, bool measured) {
  const Vec3 towards = target - hip;
  const double distance = Length(towards);
  // A target on the hip itself gives no direction: the leg then hangs.
  const Vec3 along = distance > 1e-9 ? (1.0 / distance) * towards : Vec3{0.0, -1.0, 0.0};
  const double reach = std::clamp(distance, std::fabs(thigh - shin), thigh + shin);

  LegPose pose;
  pose.ankle = hip + reach * along;
  if (measured) {
    pose.miss = Length(target - pose.ankle);
    const double kneeCosine =
        std::clamp((thigh * thigh + shin * shin - reach * reach) / (2.0 * thigh * shin), -1.0, 1.0);
    pose.bendDegrees = 180.0 - std::acos(kneeCosine) / kDegree;
  }

  Vec3 side = forward - Dot(forward, along) * along;
  if (Length(side) < 1e-9) side = Cross(along, Vec3{1.0, 0.0, 0.0});
  if (Length(side) < 1e-9) side = Vec3{0.0, 0.0, -1.0};
  side = (1.0 / Length(side)) * side;
  const double hipCosine =
      std::clamp((thigh * thigh + reach * reach - shin * shin) / (2.0 * thigh * reach), -1.0, 1.0);
  const double hipSine = std::sqrt(1.0 - hipCosine * hipCosine);
  pose.knee = hip + thigh * (hipCosine * along + hipSine * side);
  return pose;
}

}  // namespace

LegPose SolveLeg(Vec3 hip, Vec3 target, Vec3 forward, double thigh, double shin) {
  return Solve(hip, target, forward, thigh, shin, true);
}

LegPose PlaceLeg(Vec3 hip, Vec3 target, Vec3 forward, double thigh, double shin) {
  return Solve(hip, target, forward, thigh, shin, false);
}

}  // namespace pavaneflow
