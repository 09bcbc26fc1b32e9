#pragma once

#include "motion/generation_request.h"
#include "motion/pad/step_pose.h"
#include "vmd/motion_document.h"

namespace pavaneflow {

// Inserts the key frames of `pose` at its own frame number: the centre (crouched, 0.5 lower on a
// beat) and both foot IK bones turned to the facing, and with the request's twist the upper body
// and the neck turned halfway back towards π when the facing is within π/2 of it. Records the
// centre key frame in pose.centreFrame. A pose at a negative frame number emits nothing.
void EmitPose(MotionDocument& document, StepPose& pose, const GenerationRequest& request);

}  // namespace pavaneflow
