#pragma once

#include <array>

namespace pavaneflow {

// The unit quaternion (x, y, z, w) of a turn by `angle` radians about the vertical axis:
// (0, sin(angle/2), 0, cos(angle/2)).
std::array<float, 4> YawQuaternion(float angle);

}  // namespace pavaneflow
