#include "motion/timing_map.h"

namespace pavaneflow {

double ClassicTiming::BeatSeconds(Tick tick) const {
  constexpr double kSecondsPerMinute = 60.0;
  return kSecondsPerMinute / static_cast<double>(bpm_) * static_cast<double>(tick) /
         static_cast<double>(kTicksPerBeat);
}

}  // namespace pavaneflow
