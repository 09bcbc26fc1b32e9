#include "motion/make_timing_map.h"

#include "motion/game_timing.h"

namespace pavaneflow {

std::unique_ptr<TimingMap> MakeTimingMap(ChartTiming timing, const SongDocument& song) {
  if (timing == ChartTiming::kClassic) return nullptr;
  return std::make_unique<GameTiming>(song);
}

}  // namespace pavaneflow
