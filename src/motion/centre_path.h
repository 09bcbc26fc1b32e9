#pragma once

#include <vector>

#include "motion/body_proportions.h"
#include "motion/foot_swings.h"
#include "motion/key_track.h"
#include "motion/step_timeline.h"

namespace pavaneflow {

// The key frames of the centre, and with `twist` of the upper body and the neck, for the feet
// `swings` plans. At each moment the feet plan, the centre stands over the feet (over the
// standing foot while the other is lifted) as low as both planted feet need to be reached by
// the body's legs with the knees slightly bent, and on each beat while the dancer is stepping
// it dips a little. It turns at most kMostTurnPerFrame between two frames, towards where the
// hips aim; the twist turns the head back by as much, so that it looks straight ahead.
struct CentrePath {
  KeyTrack centre;
  KeyTrack upperBody;
  KeyTrack neck;
};

CentrePath PlanCentre(const FootSwings& swings, const std::vector<StepRecord>& records,
                      const BodyProportions& body, double straightAhead, bool twist);

inline constexpr double kMostTurnPerFrame = 18.0 * 3.14159265358979323846 / 180.0;

}  // namespace pavaneflow
