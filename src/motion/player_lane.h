#pragma once

#include "chart/lane.h"
#include "motion/generation_request.h"

namespace pavaneflow {

// The first Lane of the request's Score whose key is the player, in stored order; null when the
// chart has none or there is no Score.
const Lane* FindPlayerLane(const GenerationRequest& request);

}  // namespace pavaneflow
