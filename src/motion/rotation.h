#pragma once

#include <array>
#include <cmath>

#include "base/portable_math.h"

namespace pavaneflow {

// A point or direction in motion-file space, in double precision.
struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  friend Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend Vec3 operator*(double s, Vec3 a) { return {s * a.x, s * a.y, s * a.z}; }
};

inline double Dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(Vec3 a) {
  return std::sqrt(Dot(a, a));
}

// A rotation as the unit quaternion (x, y, z, w) that VMD key frames store.
using Quaternion = std::array<double, 4>;

// The turn by `radians` about the unit axis `axis`.
inline Quaternion AxisAngle(Vec3 axis, double radians) {
  const auto [s, c] = portable::SinCos(radians * 0.5);
  return {axis.x * s, axis.y * s, axis.z * s, c};
}

// The rotation `a` applied after `b`.
inline Quaternion Compose(const Quaternion& a, const Quaternion& b) {
  return {a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1],
          a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
          a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3],
          a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

inline Vec3 Rotate(const Quaternion& q, Vec3 v) {
  const Vec3 u{q[0], q[1], q[2]};
  const Vec3 t = 2.0 * Cross(u, v);
  return v + q[3] * t + Cross(u, t);
}

inline std::array<float, 4> ToFloats(const Quaternion& q) {
  return {static_cast<float>(q[0]), static_cast<float>(q[1]), static_cast<float>(q[2]),
          static_cast<float>(q[3])};
}

inline constexpr double kDegree = 3.14159265358979323846 / 180.0;

}  // namespace pavaneflow
