#pragma once

#include <cstddef>
#include <vector>

#include "chart/timing_events.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {

class SongDocument;

// Chart time as dance games keep it: the song's BPM from tick 0, then each tempo change from its
// tick on (one at tick 0 replaces the BPM), and each stop holding time still after the steps at
// its tick. A negative stop sends time back; no tick after it gets a time before that of the
// stop's own tick, so steps inside such a warp land together. Without tempo changes and stops
// the times are those of ClassicTiming, bit for bit.
class GameTiming : public TimingMap {
 public:
  // Tempo changes and stops by ascending tick, one per tick, as SongDocument holds them.
  GameTiming(float bpm, const std::vector<TempoChange>& tempos, const std::vector<Stop>& stops);
  explicit GameTiming(const SongDocument& song);

  double BeatSeconds(Tick tick) const override;

 private:
  struct Segment {
    Tick start;
    float bpm;
    // Seconds of the whole segments before this one, summed from the first.
    double before;
  };
  struct StopSum {
    Tick tick;
    // Seconds of this stop and all before it, summed in tick order.
    double through;
    // No tick after this stop has a time before this: the time of the latest negative stop's
    // tick so far, or -infinity.
    double floor;
  };

  // The time of `tick` before warps are applied, given how many stops lie below it.
  double Unfloored(Tick tick, std::size_t stopsBelow) const;
  // How many stops lie at ticks below `tick`.
  std::size_t StopsBelow(Tick tick) const;

  std::vector<Segment> segments_;
  std::vector<StopSum> stops_;
};

}  // namespace pavaneflow
