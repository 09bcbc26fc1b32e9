#include "motion/classic/crouch_height.h"

#include <cmath>

namespace pavaneflow {
namespace {

constexpr float kCrouchBase = 1.2f;
constexpr float kCrouchSlope = 0.2f;

}  // namespace

float CrouchHeight(const StepPose& pose) {
  const FloorPoint l = pose.left.position;
  const FloorPoint r = pose.right.position;
  const auto dx = static_cast<float>(static_cast<double>(l.x) - static_cast<double>(r.x));
  const auto dz = static_cast<float>(static_cast<double>(l.z) - static_cast<double>(r.z));
  const auto squared = static_cast<float>(static_cast<double>(dx) * static_cast<double>(dx) +
                                          static_cast<double>(dz) * static_cast<double>(dz));
  const auto distance = static_cast<float>(std::sqrt(static_cast<double>(squared)));
  const auto h =
      static_cast<float>(static_cast<double>(kCrouchBase) -
                         static_cast<double>(kCrouchSlope) * static_cast<double>(distance));
  return h > 0.0f ? 0.0f : h;
}

}  // namespace pavaneflow
