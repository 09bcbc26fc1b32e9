#include "motion/player_lane.h"

#include "chart/score.h"

namespace pavaneflow {

const Lane* FindPlayerLane(const GenerationRequest& request) {
  if (request.score == nullptr) return nullptr;
  for (const auto& lane : request.score->lanes) {
    if (lane->key == request.player) return lane.get();
  }
  return nullptr;
}

}  // namespace pavaneflow
