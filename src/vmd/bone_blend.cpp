#include "vmd/bone_blend.h"

#include <algorithm>
#include <cmath>

#include "base/portable_math.h"

namespace pavaneflow {
namespace {

// Rotations whose dot product is at least this are so close that a line between them will do.
constexpr double kNearlyEqual = 0.9995;

}  // namespace

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
  if (dot < kNearlyEqual) {
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

ArcBlend::ArcBlend(const std::array<float, 4>& from, const std::array<float, 4>& to) {
  std::array<double, 4> a{};
  std::array<double, 4> b{};
  double dot = 0.0;
  for (std::size_t i = 0; i < 4; ++i) {
    a[i] = static_cast<double>(from[i]);
    b[i] = static_cast<double>(to[i]);
    dot += a[i] * b[i];
  }
  if (dot < 0.0) {
    for (double& v : b) v = -v;
    dot = -dot;
  }
  if (dot >= kNearlyEqual) {
    linear_.emplace(from, to);
    return;
  }
  // Key rotations are floats, unit only to a float's precision; RotationBlend brings each blend
  // back to unit length, this brings both ends there first.
  const auto unit = [](std::array<double, 4>& q) {
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& v : q) v /= length;
  };
  unit(a);
  unit(b);
  double cosine = 0.0;
  for (std::size_t i = 0; i < 4; ++i) cosine += a[i] * b[i];
  cosine = std::min(cosine, 1.0);
  for (std::size_t i = 0; i < 4; ++i) square_[i] = b[i] - cosine * a[i];
  unit(square_);
  start_ = a;
  angle_ = portable::Acos(cosine);
}

std::array<double, 4> ArcBlend::At(double share) const {
  if (linear_) return linear_->At(share);
  const double cosine = portable::Cos(share * angle_);
  const double sine = portable::Sin(share * angle_);
  std::array<double, 4> q{};
  for (std::size_t i = 0; i < 4; ++i) q[i] = cosine * start_[i] + sine * square_[i];
  return q;
}

BonePose PoseAt(const std::array<float, 3>& position, const std::array<float, 4>& rotation) {
  BonePose pose;
  for (std::size_t i = 0; i < 3; ++i) pose.position[i] = static_cast<double>(position[i]);
  for (std::size_t i = 0; i < 4; ++i) pose.rotation[i] = static_cast<double>(rotation[i]);
  return pose;
}

}  // namespace pavaneflow
