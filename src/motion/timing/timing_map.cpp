#include "motion/timing/timing_map.h"

namespace pavaneflow {

double TimingMap::StartSeconds(std::int32_t gap) const {
  constexpr double kMillisecondsPerSecond = 1000.0;
  return static_cast<double>(gap) / kMillisecondsPerSecond;
}

double ClassicTiming::BeatSeconds(Tick tick) const {
  constexpr double kSecondsPerMinute = 60.0;
  return kSecondsPerMinute / static_cast<double>(bpm_) * static_cast<double>(tick) /
         static_cast<double>(kTicksPerBeat);
}

}  // namespace pavaneflow
