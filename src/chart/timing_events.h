#pragma once

#include "chart/chart_types.h"

namespace pavaneflow {

// A tempo change of a chart file: from `tick` on, `bpm` beats per minute. Read only in game
// timing; the classic reading keeps one tempo, the song's BPM.
struct TempoChange {
  Tick tick = 0;
  float bpm = 0.0f;
};

// A stop of a chart file: after the steps at `tick`, time stands still for `ms` milliseconds (a
// negative value would send it back). Read only in game timing.
struct Stop {
  Tick tick = 0;
  double ms = 0.0;
};

}  // namespace pavaneflow
