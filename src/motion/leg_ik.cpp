#include "motion/leg_ik.h"

#include <algorithm>
#include <cmath>

#include "motion/segment_gap.h"

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

Vec3 HipAt(const BodyProportions& body, Vec3 centre, const Quaternion& turn, std::size_t side) {
  const double outwards = side == 0 ? 1.0 : -1.0;  // the model's left is +x
  return centre + Rotate(turn, {outwards * static_cast<double>(body.hipX),
                                static_cast<double>(body.hipY - body.centreY), 0.0});
}

Vec3 FootTarget(const BodyProportions& body, Vec3 ik, std::size_t side) {
  const double outwards = side == 0 ? 1.0 : -1.0;
  return Vec3{outwards * static_cast<double>(body.ankleX), static_cast<double>(body.ankleY), 0.0} +
         ik;
}

double LegsGap(const std::array<Vec3, 2>& hip, const std::array<LegPose, 2>& legs) {
  const Vec3 l[3] = {hip[0], legs[0].knee, legs[0].ankle};
  const Vec3 r[3] = {hip[1], legs[1].knee, legs[1].ankle};
  double gap = 1e300;
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) gap = std::min(gap, SegmentGap(l[i], l[i + 1], r[j], r[j + 1]));
  }
  return gap;
}

// Nearly always the legs stand apart across the hips, the left one's every joint more than
// `clear` further along `left` than the right one's, and no two of their points can be closer
// than that; failing that, two bones whose bounding balls are `clear` apart cannot come closer
// either, nor can two whose balls are further apart than two bones found already. Either spares
// the exact gap on nearly every frame of a dance. The shins go first: legs that come close, as
// crossed ones do, come closest there, and the bones above are then mostly spared.
double LegsGapUnder(const BodyProportions& body, const std::array<Vec3, 2>& hip,
                    const std::array<LegPose, 2>& legs, Vec3 left, double clear, double enough) {
  const std::array<Vec3, 3> l{hip[0], legs[0].knee, legs[0].ankle};
  const std::array<Vec3, 3> r{hip[1], legs[1].knee, legs[1].ankle};
  const double across = std::min({Dot(l[0], left), Dot(l[1], left), Dot(l[2], left)}) -
                        std::max({Dot(r[0], left), Dot(r[1], left), Dot(r[2], left)});
  if (across >= clear) return across;
  // Each bone's half length, a hair over to cover the rounding of the leg's placing.
  const std::array<double, 2> radius{0.5 * static_cast<double>(body.thigh) + 1e-9,
                                     0.5 * static_cast<double>(body.shin) + 1e-9};
  double gap = 1e300;
  const std::array<std::array<std::size_t, 2>, 4> bones{{{1, 1}, {0, 1}, {1, 0}, {0, 0}}};
  for (const auto& [i, j] : bones) {
    const Vec3 between = 0.5 * ((l[i] + l[i + 1]) - (r[j] + r[j + 1]));
    // A pair no nearer than this changes nothing: `clear` counts as clear, as before.
    const double below = std::min(gap, clear);
    const double reach = below + radius[i] + radius[j];
    if (Dot(between, between) >= reach * reach) {
      gap = below;
      continue;
    }
    gap = std::min(gap, SegmentGap(l[i], l[i + 1], r[j], r[j + 1]));
    if (gap < enough) return gap;
  }
  return gap;
}

}  // namespace pavaneflow
