#pragma once

#include "chart/frame.h"
#include "motion/generation_request.h"
#include "motion/pad/step_pose.h"

namespace pavaneflow {

// Decides, for one chart Frame, which foot takes which of its arrows, which feet hold a freeze
// and which foot leads at the next Frame, then places the feet. Reads only the arrows, held flags
// and lead of `previous`; fills those of `current` plus its moved flags, positions, centre and
// facing, leaving its frame number, beat flag and centre key frame alone. A holding foot never
// moves; a Note no free foot can take is dropped.
void AssignFeet(const StepPose& previous, const Frame& frame, StepPose& current,
                const GenerationRequest& request);

}  // namespace pavaneflow
