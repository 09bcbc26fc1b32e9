#pragma once

#include "motion/pad/step_pose.h"
#include "vmd/motion_document.h"

namespace pavaneflow {

// Inserts the key frames halfway (in frame numbers, truncated) between `previous` and `current`:
// the facing averaged across the wrap at 2π; a foot that moved lifted to 2.0 at the middle of its
// way while the centre leans over the standing foot; or, when both feet moved, a jump of the
// centre with the jump interpolation, also set on the previous pose's centre key frame. Steps
// shorter than 15 frames lean and jump less. Nothing is written when the middle frame is negative.
void EmitInBetween(MotionDocument& document, const StepPose& current, const StepPose& previous);

}  // namespace pavaneflow
