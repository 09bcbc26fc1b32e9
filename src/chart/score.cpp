#include "chart/score.h"

namespace pavaneflow {

Lane* Score::GetLane(std::int32_t key) {
  if (Lane* lane = FindLane(key)) return lane;
  lanes.push_back(std::make_unique<Lane>(key));
  laneIndex_.emplace(key, lanes.back().get());
  return lanes.back().get();
}

Lane* Score::FindLane(std::int32_t key) {
  // The index is only a cache: Lanes added to `lanes` directly are still found.
  if (auto it = laneIndex_.find(key); it != laneIndex_.end()) return it->second;
  if (laneIndex_.size() != lanes.size()) {
    for (auto& lane : lanes) {
      if (lane->key == key) return lane.get();
    }
  }
  return nullptr;
}

const Lane* Score::FindLane(std::int32_t key) const {
  return const_cast<Score*>(this)->FindLane(key);
}

Frame* Score::AddFreezeStarts(std::int32_t key, Tick tick, ArrowCodesView arrows) {
  Frame* frame = GetLane(key)->GetFrame(tick);
  frame->MarkFreezeStarts(arrows);
  return frame;
}

void Score::FillBeats(std::int32_t key, Tick endTick) {
  if (Lane* lane = FindLane(key)) lane->frames.AddBeats(endTick);
}

}  // namespace pavaneflow
