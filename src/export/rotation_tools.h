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
  if (trace > 0.0) {
    const double s = 2.0 * std::sqrt(trace + 1.0);
    const double r = 1.0 / s;
    return {(y.z - z.y) * r, (z.x - x.z) * r, (x.y - y.x) * r, 0.25 * s};
  }
  if (x.x > y.y && x.x > z.z) {
    const double s = 2.0 * std::sqrt(1.0 + x.x - y.y - z.z);
    const double r = 1.0 / s;
    return {0.25 * s, (y.x + x.y) * r, (z.x + x.z) * r, (y.z - z.y) * r};
  }
  if (y.y > z.z) {
    const double s = 2.0 * std::sqrt(1.0 + y.y - x.x - z.z);
    const double r = 1.0 / s;
    return {(y.x + x.y) * r, 0.25 * s, (z.y + y.z) * r, (z.x - x.z) * r};
  }
  const double s = 2.0 * std::sqrt(1.0 + z.z - x.x - y.y);
  const double r = 1.0 / s;
  return {(z.x + x.z) * r, (z.y + y.z) * r, 0.25 * s, (x.y - y.x) * r};
}

// The rotation that takes a bone lying along y, its front along z, to lie along the unit vector
// `along` with its front the unit vector `front` square to it.
inline Quaternion BoneFrame(Vec3 along, Vec3 front) {
  return RotationOfFrame(Cross(along, front), along, front);
}

// The shortest turn that takes the direction of `from` onto that of `to`; none when either has
// no length.
inline Quaternion ShortestTurn(Vec3 from, Vec3 to) {
  if (!(Length(from) > 0.0 && Length(to) > 0.0)) return {0.0, 0.0, 0.0, 1.0};
  from = Normalized(from);
  to = Normalized(to);
  const Vec3 axis = Cross(from, to);
  const double sine = Length(axis);
  const double cosine = std::clamp(Dot(from, to), -1.0, 1.0);
  if (sine < 1e-12) {
    if (cosine > 0.0) return {0.0, 0.0, 0.0, 1.0};
    // Opposite directions: a half turn about any square axis.
    const Vec3 square = SquareTo(Vec3{0.0, 1.0, 0.0}, from, Vec3{0.0, 0.0, 1.0});
    return {square.x, square.y, square.z, 0.0};
  }
  // The turn halfway: (sin a · axis, 1 + cos a) has the half angle's direction. No arc tangent,
  // whose last bit the C libraries round differently, so the page writes what the desktop writes.
  const double w = 1.0 + cosine;
  const double length = std::sqrt(sine * sine + w * w);
  return {axis.x / length, axis.y / length, axis.z / length, w / length};
}

}  // namespace pavaneflow
