#pragma once

#include <cstdint>
#include <vector>

#include "motion/generation_request.h"

namespace pavaneflow {

// The motion frames (30 a second) on which the music of the request's Lane beats, timed as the
// dance is: every beat from the chart's first (tick 0) to the one after its last Frame, in
// frame order, without those that fall before frame 0 or at no time (a tempo of 0). Empty
// without a Lane.
std::vector<std::int32_t> BeatFrames(const GenerationRequest& request);

}  // namespace pavaneflow
