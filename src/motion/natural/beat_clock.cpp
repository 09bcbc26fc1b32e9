#include "motion/natural/beat_clock.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "motion/timing/frame_number.h"

namespace pavaneflow {
namespace {

constexpr std::size_t kLookAhead = 3;  // beats after the last answer tried before bisecting

}  // namespace

void BeatClock::Beats::Reach(std::int32_t frame) {
  while (!done && (frames.empty() || frames.back() < frame)) {
    const std::int32_t beat = SecondsToFrameNumber(timing.BeatSeconds(tick), gap);
    if (beat >= 0 && (frames.empty() || beat > frames.back())) frames.push_back(beat);
    done = tick > lastTick || tick > std::numeric_limits<Tick>::max() - kTicksPerBeat;
    if (!done) tick += kTicksPerBeat;
  }
}

std::optional<std::int32_t> BeatClock::Search(std::int32_t frame) {
  beats_->Reach(frame);
  const std::vector<std::int32_t>& frames = beats_->frames;
  // Asked in frame order, mostly: the answer is the last one or one of the few beats after it
  // (the arms turn on every other beat: a window of two beats bisected all of them each time).
  for (std::size_t i = found_; i < frames.size() && i <= found_ + kLookAhead; ++i) {
    if (frames[i] >= frame && (i == 0 || frames[i - 1] < frame)) {
      found_ = i;
      return frames[i];
    }
  }
  // Further ahead, as the arms stride several beats at a time, the search widens from there
  // rather than bisecting all the beats.
  auto low = frames.begin();
  auto high = frames.end();
  if (found_ < frames.size() && frames[found_] < frame) {
    std::size_t step = kLookAhead + 1;
    std::size_t below = found_;
    while (below + step < frames.size() && frames[below + step] < frame) {
      below += step;
      step *= 2;
    }
    low = frames.begin() + static_cast<std::ptrdiff_t>(below + 1);
    high = frames.begin() + static_cast<std::ptrdiff_t>(std::min(below + step + 1, frames.size()));
  }
  const auto it = std::lower_bound(low, high, frame);
  if (it == frames.end()) return std::nullopt;
  found_ = static_cast<std::size_t>(it - frames.begin());
  return *it;
}

std::optional<std::int32_t> BeatClock::Nearest(std::int32_t frame) {
  const std::optional<std::int32_t> after = From(frame);
  const std::vector<std::int32_t>& frames = beats_->frames;
  if (!after) return frames.empty() ? std::nullopt : std::optional(frames.back());
  if (found_ == 0 || frame - frames[found_ - 1] > *after - frame) return after;
  return frames[found_ - 1];
}

}  // namespace pavaneflow
