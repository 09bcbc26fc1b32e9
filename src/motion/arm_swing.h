#pragma once

#include <array>
#include <vector>

#include "motion/body_proportions.h"
#include "motion/key_track.h"
#include "motion/step_timeline.h"

namespace pavaneflow {

// The key frames of the upper arms and elbows (index 0 the left): the arms hang closer to the
// body than the rest pose and swing forwards and back, one against the other and turning at
// every step, with the elbows a little bent, more when the arm is forward. The swing is wider
// the quicker the steps come and settles when the chart rests for more than kRestFrames.
struct ArmSwing {
  std::array<KeyTrack, 2> arms;
  std::array<KeyTrack, 2> elbows;
};

ArmSwing PlanArmSwing(const std::vector<StepRecord>& records, const BodyProportions& body);

inline constexpr std::int32_t kRestFrames = 60;

}  // namespace pavaneflow
