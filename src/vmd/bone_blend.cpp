#include "vmd/bone_blend.h"

#include <algorithm>
#include <cmath>

#include "base/portable_math.h"

namespace pavaneflow {

BezierCurve ChannelCurve(const InterpolationBytes& bytes, int channel) {
  const auto i = static_cast<std::size_t>(channel);
  return BezierCurve(bytes[i], bytes[4 + i], bytes[8 + i], bytes[12 + i]);
}

RotationBlend::RotationBlend(const std::array<float, 4>& from, const std::array<float, 4>& to)
    : from_(from), to_(to) {
  double dot = 0.0;
  for (std::size_t i = 0; i < 4; ++i) {
    dot += static_cast<double>(from[i]) * static_cast<double>(to[i]);
  }
  // q and -q are one rotation: take the shorter way.
  if (dot < 0.0) {
    for (float& v : to_) v = -v;
    dot = -dot;
  }
  if (dot < 0.9995) {
    angle_ = portable::Acos(std::min(dot, 1.0));
    sine_ = portable::Sin(angle_);
  }
}

std::array<double, 4> RotationBlend::At(double share) const {
  double wa = 1.0 - share;
  double wb = share;
  if (angle_ != 0.0) {
    wa = portable::Sin((1.0 - share) * angle_) / sine_;
    wb = portable::Sin(share * angle_) / sine_;
  }
  std::array<double, 4> q{};
  double norm = 0.0;
  for (std::size_t i = 0; i < 4; ++i) {
    q[i] = wa * static_cast<double>(from_[i]) + wb * static_cast<double>(to_[i]);
    norm += q[i] * q[i];
  }
  // Nearly equal rotations were blended linearly: bring the result back to unit length.
  norm = std::sqrt(norm);
  if (norm > 0.0) {
    for (double& v : q) v /= norm;
  }
  return q;
}

BonePose Blend(const std::array<float, 3>& fromPosition, const std::array<float, 3>& toPosition,
               const RotationBlend& turn, const std::array<double, 4>& progress) {
  BonePose pose;
  for (std::size_t i = 0; i < 3; ++i) {
    const double a = static_cast<double>(fromPosition[i]);
    const double b = static_cast<double>(toPosition[i]);
    pose.position[i] = a + (b - a) * progress[i];
  }
  pose.rotation = turn.At(progress[3]);
  return pose;
}

BonePose PoseAt(const std::array<float, 3>& position, const std::array<float, 4>& rotation) {
  BonePose pose;
  for (std::size_t i = 0; i < 3; ++i) pose.position[i] = static_cast<double>(position[i]);
  for (std::size_t i = 0; i < 4; ++i) pose.rotation[i] = static_cast<double>(rotation[i]);
  return pose;
}

}  // namespace pavaneflow
