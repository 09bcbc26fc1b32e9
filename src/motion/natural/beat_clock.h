#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "chart/chart_types.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {

// The music's beats as motion frames (30 a second), timed as the dance is: every beat from the
// chart's first to the one after `lastTick`, in frame order, without those that fall before frame
// 0, at no time (a tempo of 0) or on a beat already passed (a stop). Found as they are asked for.
class BeatClock {
 public:
  BeatClock(const TimingMap& timing, std::int32_t gap, Tick lastTick)
      : beats_(std::make_shared<Beats>(timing, gap, lastTick)) {}

  // A clock of its own over the same beats, for a planner that asks in an order of its own: the
  // beats are worked out once for both.
  BeatClock Alongside() const { return BeatClock(beats_); }

  // The first beat at or after `frame`; none past the last.
  std::optional<std::int32_t> From(std::int32_t frame) {
    // The planners ask a few hundred thousand times a dance, mostly for the beat they were given
    // last or the one after it: those two are tried inline.
    const std::vector<std::int32_t>& frames = beats_->frames;
    for (std::size_t i = found_; i < frames.size() && i <= found_ + 1; ++i) {
      if (frames[i] >= frame && (i == 0 || frames[i - 1] < frame)) {
        found_ = i;
        return frames[i];
      }
    }
    return Search(frame);
  }
  // The beat nearest `frame`, the earlier of two as near; none without beats.
  std::optional<std::int32_t> Nearest(std::int32_t frame);
  // The number of the beat `From` last answered, counted from the first beat at or after frame 0:
  // the same beat has the same number however the beats were asked for.
  std::size_t LastNumber() const { return found_; }

 private:
  // From, for a beat further away or not yet worked out.
  std::optional<std::int32_t> Search(std::int32_t frame);

  // The beats found so far, shared by the clocks alongside each other.
  struct Beats {
    Beats(const TimingMap& timingMap, std::int32_t gapFrames, Tick last)
        : timing(timingMap), gap(gapFrames), lastTick(last) {}

    // Works out the beats up to the first at or after `frame`, or all of them.
    void Reach(std::int32_t frame);

    const TimingMap& timing;
    std::int32_t gap;
    Tick lastTick;
    Tick tick = 0;  // the next beat's tick not yet looked at
    bool done = false;
    std::vector<std::int32_t> frames;
  };

  explicit BeatClock(std::shared_ptr<Beats> beats) : beats_(std::move(beats)) {}

  std::shared_ptr<Beats> beats_;
  std::size_t found_ = 0;  // where the last answer was
};

}  // namespace pavaneflow
