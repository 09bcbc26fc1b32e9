#include "motion/pad/facing_angle.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "base/compat.h"
#include "motion/pad/motion_constants.h"

namespace pavaneflow {
namespace {

float ComputeFacingAngle(FloorPoint left, FloorPoint right) {
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

struct RecentStance {
  std::array<std::uint32_t, 4> pointBits{};
  bool filled = false;
  float facing = 0.0f;
};

}  // namespace

float FacingAngle(FloorPoint left, FloorPoint right) {
  // The feet stand on a few arrows again and again, so recent stances are remembered by the
  // bits of their points: the arc tangent was a noticeable share of synthesis.
  thread_local std::array<RecentStance, 64> recent;
  const std::array<std::uint32_t, 4> bits{
      compat::bit_cast<std::uint32_t>(left.x), compat::bit_cast<std::uint32_t>(left.z),
      compat::bit_cast<std::uint32_t>(right.x), compat::bit_cast<std::uint32_t>(right.z)};
  std::uint32_t hash = 0;
  for (const std::uint32_t b : bits) hash = (hash ^ b) * 0x9E3779B1u;
  RecentStance& stance = recent[hash >> 26];
  if (stance.filled && stance.pointBits == bits) return stance.facing;
  const float facing = ComputeFacingAngle(left, right);
  stance = {bits, true, facing};
  return facing;
}

}  // namespace pavaneflow
