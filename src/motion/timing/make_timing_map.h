#pragma once

#include <memory>

#include "chart/chart_timing.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {

class SongDocument;
class Score;

// The timing map for a GenerationRequest on `score` of `song` read in `timing`. A simfile is
// always timed by its own lists (the chart's, or the song's when `score` is null or has none), a
// SimfileTimingMap. A DWI file: null for classic timing (the synthesiser then keeps the song's one
// tempo), a GameTiming otherwise. The map copies or shares what it needs; `song` may change
// afterwards.
std::unique_ptr<TimingMap> MakeTimingMap(ChartTiming timing, const SongDocument& song,
                                         const Score* score = nullptr);

}  // namespace pavaneflow
