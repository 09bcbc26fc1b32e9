#pragma once

#include "motion/rotation.h"

namespace pavaneflow {

// Where a two-bone leg puts its knee and ankle when its ankle is sent to a target.
struct LegPose {
  Vec3 knee;
  Vec3 ankle;
  double bendDegrees = 0.0;  // 0 with the leg straight
  double miss = 0.0;         // how far the ankle stays from the target
};

// Solves the leg from `hip` towards `target` exactly: the ankle reaches the target when it lies
// within the leg's reach, else it stops on the line towards it (the leg straight, or folded when
// the target is closer than the two bones' difference). The knee bends towards `forward` (the
// body's front), or straight ahead when that lies along the leg.
LegPose SolveLeg(Vec3 hip, Vec3 target, Vec3 forward, double thigh, double shin);

// SolveLeg's knee and ankle alone, for a figure posed on every frame of a dance: the bend and the
// miss are left 0, sparing an arc cosine and a square root each time.
LegPose PlaceLeg(Vec3 hip, Vec3 target, Vec3 forward, double thigh, double shin);

}  // namespace pavaneflow
