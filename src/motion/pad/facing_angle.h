#pragma once

#include "motion/floor_point.h"

namespace pavaneflow {

// The body's yaw in radians for the left and the right foot's arrow positions: π with the feet
// side by side along x, between π/2 and 3π/2 while the left foot is left of the right one, and
// between 3π/2 and 5π/2 with the feet crossed. Not reduced modulo 2π.
float FacingAngle(FloorPoint left, FloorPoint right);

}  // namespace pavaneflow
