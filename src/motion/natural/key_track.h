#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "vmd/motion_frame.h"

namespace pavaneflow {

// A bone key frame waiting to be put into a MotionDocument.
struct PendingKey {
  std::int32_t frame = 0;
  std::array<float, 3> position{};
  std::array<float, 4> rotation{0.0f, 0.0f, 0.0f, 1.0f};
  const InterpolationBytes* interpolation = &kDefaultInterpolation;
};

// The key frames of one bone in frame order, at most one per frame: a key at or before the last
// one replaces the keys from its frame on.
class KeyTrack {
 public:
  void Add(const PendingKey& key) {
    while (!keys_.empty() && keys_.back().frame >= key.frame) keys_.pop_back();
    keys_.push_back(key);
  }
  // Adds the keys of `other` as Add would one by one: being in frame order, one a frame, only
  // the first can replace keys of this track, and the rest go on the end as they are.
  void AddAll(const KeyTrack& other) {
    if (other.keys_.empty()) return;
    Add(other.keys_.front());
    keys_.insert(keys_.end(), other.keys_.begin() + 1, other.keys_.end());
  }
  void Clear() { keys_.clear(); }
  // Drops the first `count` keys.
  void DropFront(std::size_t count) {
    keys_.erase(keys_.begin(), keys_.begin() + static_cast<std::ptrdiff_t>(count));
  }
  // Drops the keys after the first `count`.
  void Truncate(std::size_t count) { keys_.resize(std::min(count, keys_.size())); }
  // Replaces the keys from the `from`-th up to the `to`-th (excluded) with `keys`, in frame
  // order, one a frame, all before the keys after.
  // The replaced keys are written over and the keys after move once, by the difference: the
  // legs' parting re-keys swings all through a dance, and an erase and an insert would move the
  // rest of the dance twice for each.
  void Replace(std::size_t from, std::size_t to, const std::vector<PendingKey>& keys) {
    const auto kept = static_cast<std::ptrdiff_t>(std::min(to - from, keys.size()));
    const auto at = keys_.begin() + static_cast<std::ptrdiff_t>(from);
    std::copy(keys.begin(), keys.begin() + kept, at);
    if (keys.size() > to - from) {
      keys_.insert(keys_.begin() + static_cast<std::ptrdiff_t>(to), keys.begin() + kept,
                   keys.end());
    } else {
      keys_.erase(at + kept, keys_.begin() + static_cast<std::ptrdiff_t>(to));
    }
  }
  const std::vector<PendingKey>& Keys() const { return keys_; }
  bool Empty() const { return keys_.empty(); }
  const PendingKey& Last() const { return keys_.back(); }

 private:
  std::vector<PendingKey> keys_;
};

}  // namespace pavaneflow
