#pragma once

#include <vector>

#include "chart/chart_types.h"
#include "chart/timing_events.h"

namespace pavaneflow {

// A pause of a simfile at `tick`, in seconds: a stop holds time after the steps at its tick, a
// delay before them.
struct Pause {
  Tick tick = 0;
  double seconds = 0.0;
};

// A stretch of beats, [start, start + length), as a simfile gives it: not rounded to ticks, so
// that a tick lies inside exactly when start × 48 ≤ tick < (start + length) × 48.
struct BeatRange {
  double start = 0.0;
  double length = 0.0;
};

// How a simfile (or one chart of it) is timed, after reading: every list by ascending tick with one
// entry per tick, tempos and pauses positive, the negative values of old files already turned into
// warps. The first tempo lies at tick 0. Warps may overlap; a warp that never ends has an infinite
// length.
struct SimfileTiming {
  double offset = 0.0;  // seconds; a chart's time is shifted by -offset
  std::vector<TempoChange> tempos;
  std::vector<Pause> stops;
  std::vector<Pause> delays;
  std::vector<BeatRange> warps;  // steps inside are not stepped and take no time
  std::vector<BeatRange> fakes;  // steps inside are not stepped
};

}  // namespace pavaneflow
