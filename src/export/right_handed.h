#pragma once

#include "motion/rotation.h"

namespace pavaneflow {

// The axes every export is written in, those of VRM and glTF: right-handed, y up, the figure
// facing +z with its left side at +x. The dance's own axes are left-handed with the figure facing
// −z and its left side at +x, so z changes sign and x does not.

// A point of the dance in the export's axes, `unit` export units to a dance unit.
inline Vec3 ExportPoint(Vec3 p, double unit) {
  return {p.x * unit, p.y * unit, -p.z * unit};
}

// A rotation of the dance in the export's axes: mirrored in z, it turns the other way about the
// mirrored axis.
inline Quaternion ExportRotation(const Quaternion& q) {
  return {-q[0], -q[1], q[2], q[3]};
}

// Metres to one unit of the dance (the standard character is about 1.6 m and 20 units tall).
inline constexpr double kMetresPerUnit = 0.08;

}  // namespace pavaneflow
