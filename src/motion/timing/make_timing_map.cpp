#include "motion/timing/make_timing_map.h"

#include "chart/song_document.h"
#include "motion/timing/game_timing.h"
#include "motion/timing/simfile_timing_map.h"

namespace pavaneflow {

std::unique_ptr<TimingMap> MakeTimingMap(ChartTiming timing, const SongDocument& song,
                                         const Score* score) {
  if (IsSimfile(song.format) && song.simfileTiming != nullptr) {
    return std::make_unique<SimfileTimingMap>(score != nullptr && score->simfileTiming != nullptr
                                                  ? score->simfileTiming
                                                  : song.simfileTiming);
  }
  if (timing == ChartTiming::kClassic) return nullptr;
  return std::make_unique<GameTiming>(song);
}

}  // namespace pavaneflow
