#pragma once

#include <algorithm>
#include <cmath>

#include "motion/rotation.h"

namespace pavaneflow {

// The rotations the export needs beyond those the dance is made with. Unit quaternions (x, y, z,
// w) and right-angled frames in the dance's axes.

inline Quaternion Conjugate(const Quaternion& q) {
  return {-q[0], -q[1], -q[2], q[3]};
}

inline Vec3 Normalized(Vec3 v) {
  return (1.0 / Length(v)) * v;
}

// The part of `v` square to the unit vector `axis`, made unit length; `fallback` where `v` lies
// along `axis`.
inline Vec3 SquareTo(Vec3 v, Vec3 axis, Vec3 fallback) {
  const Vec3 square = v - Dot(v, axis) * axis;
  return Length(square) > 1e-9 ? Normalized(square) : fallback;
}

// The rotation whose columns are the unit vectors `x`, `y` and `z` (a right-handed frame).
inline Quaternion RotationOfFrame(Vec3 x, Vec3 y, Vec3 z) {
  const double trace = x.x + y.y + z.z;
  Quaternion q;
  if (trace > 0.0) {
    const double s = 2.0 * std::sqrt(trace + 1.0);
    q = {(y.z - z.y) / s, (z.x - x.z) / s, (x.y - y.x) / s, 0.25 * s};
  } else if (x.x > y.y && x.x > z.z) {
    const double s = 2.0 * std::sqrt(1.0 + x.x - y.y - z.z);
    q = {0.25 * s, (y.x + x.y) / s, (z.x + x.z) / s, (y.z - z.y) / s};
  } else if (y.y > z.z) {
    const double s = 2.0 * std::sqrt(1.0 + y.y - x.x - z.z);
    q = {(y.x + x.y) / s, 0.25 * s, (z.y + y.z) / s, (z.x - x.z) / s};
  } else {
    const double s = 2.0 * std::sqrt(1.0 + z.z - x.x - y.y);
    q = {(z.x + x.z) / s, (z.y + y.z) / s, 0.25 * s, (x.y - y.x) / s};
  }
  return q;
}

// The rotation that takes the unit vector `along` and the unit vector `front` square to it onto
// `along2` and `front2`.
inline Quaternion RotationOnto(Vec3 along, Vec3 front, Vec3 along2, Vec3 front2) {
  const Quaternion from = RotationOfFrame(Cross(along, front), along, front);
  const Quaternion to = RotationOfFrame(Cross(along2, front2), along2, front2);
  return Compose(to, Conjugate(from));
}

// The shortest turn that takes the direction of `from` onto that of `to`; none when either has
// no length.
inline Quaternion ShortestTurn(Vec3 from, Vec3 to) {
  if (!(Length(from) > 0.0 && Length(to) > 0.0)) return {0.0, 0.0, 0.0, 1.0};
  from = Normalized(from);
  to = Normalized(to);
  const Vec3 axis = Cross(from, to);
  const double sine = Length(axis);
  const double angle = std::atan2(sine, std::clamp(Dot(from, to), -1.0, 1.0));
  if (sine < 1e-12) {
    if (angle < 1.0) return {0.0, 0.0, 0.0, 1.0};
    // Opposite directions: any square axis will do.
    return AxisAngle(SquareTo(Vec3{0.0, 1.0, 0.0}, from, Vec3{0.0, 0.0, 1.0}), angle);
  }
  return AxisAngle((1.0 / sine) * axis, angle);
}

}  // namespace pavaneflow
