#pragma once

#include "motion/pad/step_pose.h"

namespace pavaneflow {

// How far the centre sinks for the pose's stance (foot positions as stored, IK offset included):
// 0 while the feet are at most 6 apart, then 0.2 lower for each unit of distance beyond that.
// Never positive.
float CrouchHeight(const StepPose& pose);

}  // namespace pavaneflow
