#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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
      : timing_(timing), gap_(gap), lastTick_(lastTick) {}

  // The first beat at or after `frame`; none past the last.
  std::optional<std::int32_t> From(std::int32_t frame);
  // The number of the beat `From` last answered, counted from the first beat at or after frame 0:
  // the same beat has the same number however the beats were asked for.
  std::size_t LastNumber() const { return found_; }

 private:
  const TimingMap& timing_;
  std::int32_t gap_;
  Tick lastTick_;
  Tick tick_ = 0;  // the next beat's tick not yet looked at
  bool done_ = false;
  std::vector<std::int32_t> beats_;
  std::size_t found_ = 0;  // where the last answer was
};

}  // namespace pavaneflow
