#include "motion/facing_angle.h"

#include <cmath>

#include "motion/motion_constants.h"

namespace pavaneflow {

float FacingAngle(FloorPoint left, FloorPoint right) {
  const auto dx = static_cast<float>(static_cast<double>(right.x) - static_cast<double>(left.x));
  const auto dz = static_cast<float>(static_cast<double>(right.z) - static_cast<double>(left.z));
  // The limits of the general case as dx falls to 0 from above.
  if (dx == 0.0f) return left.z < right.z ? kHalfPi : kThreeHalfPi;
  const auto ratio = static_cast<float>(static_cast<double>(dz) / static_cast<double>(dx));
  const auto a = static_cast<float>(std::atan(static_cast<double>(ratio)));
  auto facing = static_cast<float>(static_cast<double>(kPi) - static_cast<double>(a));
  if (left.x > right.x) {
    facing = static_cast<float>(static_cast<double>(facing) + static_cast<double>(kPi));
  }
  return facing;
}

}  // namespace pavaneflow
