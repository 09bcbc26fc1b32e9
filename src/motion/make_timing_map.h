#pragma once

#include <memory>

#include "chart/chart_timing.h"
#include "motion/timing_map.h"

namespace pavaneflow {

class SongDocument;

// The timing map for a GenerationRequest on `song` read in `timing`: null for classic timing
// (the synthesiser then keeps the song's one tempo), a GameTiming otherwise. The map copies what
// it needs; `song` may change afterwards.
std::unique_ptr<TimingMap> MakeTimingMap(ChartTiming timing, const SongDocument& song);

}  // namespace pavaneflow
