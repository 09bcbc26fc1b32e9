#pragma once

#include "motion/rotation.h"

namespace pavaneflow {

// The least distance between the segments ab and cd.
double SegmentGap(Vec3 a, Vec3 b, Vec3 c, Vec3 d);

}  // namespace pavaneflow
