#include "motion/yaw_quaternion.h"

#include <cmath>

namespace pavaneflow {

std::array<float, 4> YawQuaternion(float angle) {
  const auto half = static_cast<float>(static_cast<double>(angle) * 0.5);
  return {0.0f, static_cast<float>(std::sin(static_cast<double>(half))), 0.0f,
          static_cast<float>(std::cos(static_cast<double>(half)))};
}

}  // namespace pavaneflow
