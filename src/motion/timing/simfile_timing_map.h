#pragma once

#include <memory>
#include <vector>

#include "chart/simfile_timing.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {

// Chart time of a simfile chart, as the dance games keep it: each tempo from its tick on (the
// first extending before tick 0), no time for ticks inside a warp, each stop's seconds after its
// tick and each delay's at and after it (inside warps too). The chart starts -offset seconds
// late. With one tempo and nothing else the times are those of ClassicTiming, bit for bit.
class SimfileTimingMap : public TimingMap {
 public:
  explicit SimfileTimingMap(std::shared_ptr<const SimfileTiming> timing);

  double BeatSeconds(Tick tick) const override;
  double StartSeconds(std::int32_t gap) const override;

 private:
  // A stretch of ticks from `start` (fractional where a warp begins or ends) at one tempo,
  // warped or not, and the seconds of the stretches before it.
  struct Piece {
    double start;
    float bpm;
    bool warped;
    double before;
  };
  // The seconds of pauses up to a tick, summed in tick order.
  struct PauseSum {
    Tick tick;
    double through;
  };

  static std::vector<PauseSum> Sums(const std::vector<Pause>& pauses);
  // The summed seconds of the pauses at ticks below `tick` (with `atToo`, at it as well).
  static double PausesBefore(const std::vector<PauseSum>& sums, Tick tick, bool atToo);

  std::shared_ptr<const SimfileTiming> timing_;
  std::vector<Piece> pieces_;
  std::vector<PauseSum> stops_;
  std::vector<PauseSum> delays_;
};

}  // namespace pavaneflow
