#pragma once

#include "chart/chart_types.h"
#include "motion/floor_point.h"
#include "motion/generation_request.h"
#include "motion/pad/step_pose.h"

namespace pavaneflow {

// Where an arrow panel lies on the floor for the request's chart mode (and, for COUPLE, its
// player): each arrow 4 from its pad's centre; DOUBLE pads at x = −6 and +6, COUPLE pads at −6
// (1P) and +6 (2P). A code that names no arrow lies at its pad's centre. Any unknown mode is
// read as SINGLE.
FloorPoint ArrowPosition(const GenerationRequest& request, ArrowCode code);

// Puts the feet of a freshly created pose on their starting arrows (between the two pads for
// DOUBLE, on left and right otherwise) and places them.
void StartPose(const GenerationRequest& request, StepPose& pose);

// Sets both foot positions, the centre and the facing from the pose's two arrows. The centre and
// the facing come from the arrow positions; only the feet carry the foot IK offset.
void PlaceFeet(const GenerationRequest& request, StepPose& pose);

}  // namespace pavaneflow
