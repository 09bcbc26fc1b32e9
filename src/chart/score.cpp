#include "chart/score.h"

#include <cstdint>

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
  Lane* lane = FindLane(key);
  if (lane == nullptr || endTick <= 0) return;

  // Merge the beats into the sorted Frames in one pass. The counter is 64-bit: a 32-bit one
  // would overflow before passing an end tick near the top of the range.
  const std::int64_t end = endTick;
  std::vector<Frame>& frames = lane->frames;
  std::size_t missing = 0;
  std::int64_t lastBeat = 0;
  {
    std::size_t i = 0;
    for (std::int64_t t = 0; t < end; t += kTicksPerBeat) {
      while (i < frames.size() && frames[i].tick < t) ++i;
      if (i == frames.size() || frames[i].tick != t) ++missing;
      lastBeat = t;
    }
  }
  if (missing == 0) return;

  const std::size_t total = frames.size() + missing;
  if (frames.capacity() < total) {
    // Growing moves every Frame anyway: merge the beats in during that one move.
    std::vector<Frame> merged;
    merged.reserve(total);
    std::size_t i = 0;
    for (std::int64_t t = 0; t <= lastBeat; t += kTicksPerBeat) {
      while (i < frames.size() && frames[i].tick < t) merged.push_back(std::move(frames[i++]));
      if (i < frames.size() && frames[i].tick == t) {
        merged.push_back(std::move(frames[i++]));
      } else {
        merged.emplace_back(static_cast<Tick>(t));
      }
    }
    while (i < frames.size()) merged.push_back(std::move(frames[i++]));
    frames = std::move(merged);
    return;
  }

  // Room enough: in place, from the back, the Frames moving up to make room for the new beats.
  std::size_t from = frames.size();
  frames.resize(total);
  std::size_t to = frames.size();
  for (std::int64_t t = lastBeat; t >= 0; t -= kTicksPerBeat) {
    while (from > 0 && frames[from - 1].tick > t) frames[--to] = std::move(frames[--from]);
    if (from > 0 && frames[from - 1].tick == t) {
      frames[--to] = std::move(frames[--from]);
    } else {
      frames[--to] = Frame(static_cast<Tick>(t));
    }
  }
}

}  // namespace pavaneflow
