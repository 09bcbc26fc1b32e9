#include "chart/lane.h"

#include <algorithm>

namespace pavaneflow {

namespace {

bool TickBefore(const Frame& frame, Tick tick) { return frame.tick < tick; }

}  // namespace

Frame* Lane::GetFrame(Tick tick) {
  // Charts are read front to back, so the new tick is almost always at or past the end.
  if (frames.empty() || frames.back().tick < tick) {
    frames.emplace_back(tick);
    return &frames.back();
  }
  if (frames.back().tick == tick) return &frames.back();
  auto it = std::lower_bound(frames.begin(), frames.end(), tick, TickBefore);
  if (it->tick == tick) return &*it;
  return &*frames.emplace(it, tick);
}

const Frame* Lane::FindFrame(Tick tick) const {
  auto it = std::lower_bound(frames.begin(), frames.end(), tick, TickBefore);
  if (it == frames.end() || it->tick != tick) return nullptr;
  return &*it;
}

}  // namespace pavaneflow
