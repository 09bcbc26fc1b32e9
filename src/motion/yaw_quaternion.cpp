#include "motion/yaw_quaternion.h"

#include <cmath>
#include <cstdint>

#include "base/compat.h"

namespace pavaneflow {
namespace {

struct RecentTurn {
  std::uint32_t angleBits = 0;
  bool filled = false;
  std::array<float, 4> quaternion{};
};

}  // namespace

std::array<float, 4> YawQuaternion(float angle) {
  // A dance turns between a few facings again and again, so recent turns are remembered by the
  // angle's bits: the sine and cosine were a large share of synthesis. Equal bits, equal result.
  // 1,024 turns (24 KiB): the natural motion's feet and centre turn through many more than the
  // classic poses' few facings; with 64, a 40,000-step dance worked out 13,000 turns, all but 47
  // of them asked before.
  thread_local std::array<RecentTurn, 1024> recent;
  const auto bits = compat::bit_cast<std::uint32_t>(angle);
  RecentTurn& turn = recent[(bits * 0x9E3779B1u) >> 22];
  if (turn.filled && turn.angleBits == bits) return turn.quaternion;

  const auto half = static_cast<float>(static_cast<double>(angle) * 0.5);
  const std::array<float, 4> quaternion{
      0.0f, static_cast<float>(std::sin(static_cast<double>(half))), 0.0f,
      static_cast<float>(std::cos(static_cast<double>(half)))};
  turn = {bits, true, quaternion};
  return quaternion;
}

}  // namespace pavaneflow
