#include "vmd/bone_track.h"

#include <algorithm>
#include <cmath>

#include "vmd/bezier_curve.h"

namespace pavaneflow {
namespace {

// The curve of channel `c` (0 to 2: X, Y, Z; 3: rotation) in the first 16 interpolation bytes:
// x1 of the four channels, then y1, x2 and y2.
BezierCurve Curve(const InterpolationBytes& bytes, int c) {
  const auto i = static_cast<std::size_t>(c);
  return BezierCurve(bytes[i], bytes[4 + i], bytes[8 + i], bytes[12 + i]);
}

BonePose PoseOf(const BoneKey& key) {
  BonePose pose;
  for (std::size_t i = 0; i < 3; ++i) pose.position[i] = static_cast<double>(key.position[i]);
  for (std::size_t i = 0; i < 4; ++i) pose.rotation[i] = static_cast<double>(key.rotation[i]);
  return pose;
}

std::array<double, 4> Slerp(const std::array<float, 4>& a, std::array<float, 4> b, double w) {
  double dot = 0.0;
  for (std::size_t i = 0; i < 4; ++i) dot += static_cast<double>(a[i]) * static_cast<double>(b[i]);
  // q and -q are one rotation: take the shorter way.
  if (dot < 0.0) {
    for (float& v : b) v = -v;
    dot = -dot;
  }
  double wa = 1.0 - w;
  double wb = w;
  if (dot < 0.9995) {
    const double angle = std::acos(std::min(dot, 1.0));
    const double sine = std::sin(angle);
    wa = std::sin((1.0 - w) * angle) / sine;
    wb = std::sin(w * angle) / sine;
  }
  std::array<double, 4> q{};
  double norm = 0.0;
  for (std::size_t i = 0; i < 4; ++i) {
    q[i] = wa * static_cast<double>(a[i]) + wb * static_cast<double>(b[i]);
    norm += q[i] * q[i];
  }
  // Nearly equal rotations were blended linearly: bring the result back to unit length.
  norm = std::sqrt(norm);
  if (norm > 0.0) {
    for (double& v : q) v /= norm;
  }
  return q;
}

BoneKey KeyOf(const MotionFrame& frame) {
  return {frame.frameNumber(), frame.position, frame.rotation, *frame.interpolation};
}

BoneKey KeyOf(const VmdBoneFrame& frame) {
  return {frame.frameNumber, frame.position, frame.rotation, frame.interpolation};
}

}  // namespace

BoneTrack::BoneTrack(std::vector<BoneKey> keys) : keys_(std::move(keys)) {
  std::stable_sort(keys_.begin(), keys_.end(), [](const BoneKey& a, const BoneKey& b) {
    return a.frameNumber < b.frameNumber;
  });
}

BoneTrack BoneTrack::FromDocument(const MotionDocument& document, std::u16string_view bone) {
  std::vector<BoneKey> keys;
  document.ForEachFrame([&](const MotionFrame& frame) {
    if (frame.boneName() == bone) keys.push_back(KeyOf(frame));
  });
  return BoneTrack(std::move(keys));
}

BoneTrack BoneTrack::FromVmd(const VmdMotion& motion, std::u16string_view bone) {
  std::vector<BoneKey> keys;
  for (const VmdBoneFrame& frame : motion.bones) {
    if (frame.boneName == bone) keys.push_back(KeyOf(frame));
  }
  return BoneTrack(std::move(keys));
}

BonePose BoneTrack::At(double frame) const {
  if (keys_.empty()) return {};
  // The first key frame after `frame`; the one before it is the last at or before `frame`.
  const auto next = std::upper_bound(
      keys_.begin(), keys_.end(), frame,
      [](double f, const BoneKey& key) { return f < static_cast<double>(key.frameNumber); });
  if (next == keys_.begin()) return PoseOf(keys_.front());
  if (next == keys_.end()) return PoseOf(keys_.back());
  const BoneKey& from = *(next - 1);
  const BoneKey& to = *next;
  const double span = static_cast<double>(to.frameNumber) - static_cast<double>(from.frameNumber);
  const double x = (frame - static_cast<double>(from.frameNumber)) / span;

  BonePose pose;
  for (int c = 0; c < 3; ++c) {
    const auto i = static_cast<std::size_t>(c);
    const double a = static_cast<double>(from.position[i]);
    const double b = static_cast<double>(to.position[i]);
    pose.position[i] = a + (b - a) * Curve(to.interpolation, c).Progress(x);
  }
  pose.rotation = Slerp(from.rotation, to.rotation, Curve(to.interpolation, 3).Progress(x));
  return pose;
}

}  // namespace pavaneflow
