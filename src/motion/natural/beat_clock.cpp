#include "motion/natural/beat_clock.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "motion/timing/frame_number.h"

namespace pavaneflow {
namespace {

constexpr std::size_t kLookAhead = 3;  // beats after the last answer tried before bisecting

}  // namespace

std::optional<std::int32_t> BeatClock::From(std::int32_t frame) {
  while (!done_ && (beats_.empty() || beats_.back() < frame)) {
    const std::int32_t beat = SecondsToFrameNumber(timing_.BeatSeconds(tick_), gap_);
    if (beat >= 0 && (beats_.empty() || beat > beats_.back())) beats_.push_back(beat);
    done_ = tick_ > lastTick_ || tick_ > std::numeric_limits<Tick>::max() - kTicksPerBeat;
    if (!done_) tick_ += kTicksPerBeat;
  }
  // Asked in frame order, mostly: the answer is the last one or one of the few beats after it
  // (the arms turn on every other beat: a window of two beats bisected all of them each time).
  for (std::size_t i = found_; i < beats_.size() && i <= found_ + kLookAhead; ++i) {
    if (beats_[i] >= frame && (i == 0 || beats_[i - 1] < frame)) {
      found_ = i;
      return beats_[i];
    }
  }
  const auto it = std::lower_bound(beats_.begin(), beats_.end(), frame);
  if (it == beats_.end()) return std::nullopt;
  found_ = static_cast<std::size_t>(it - beats_.begin());
  return *it;
}

}  // namespace pavaneflow
