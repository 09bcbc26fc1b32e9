#pragma once

#include <cstdint>

#include "chart/chart_types.h"

namespace pavaneflow {

// Turns chart ticks into chart time: the seconds from tick 0, before the song's GAP is added and
// before any rounding to motion frames. The synthesiser and the foot planners ask this object and
// never which timing was chosen.
class TimingMap {
 public:
  virtual ~TimingMap() = default;
  // Seconds from tick 0 to `tick`, in double precision; not a number or infinite where the
  // tempo gives no time (a BPM of 0, say).
  virtual double BeatSeconds(Tick tick) const = 0;
  // Seconds by which the whole chart starts late, given the song's GAP in milliseconds: the GAP
  // itself for DWI files; a simfile's own offset (which a chart may have apart) for simfiles.
  virtual double StartSeconds(std::int32_t gap) const;
};

// One tempo for the whole chart, as the song's BPM gives it.
class ClassicTiming : public TimingMap {
 public:
  explicit ClassicTiming(float bpm) : bpm_(bpm) {}
  double BeatSeconds(Tick tick) const override;

 private:
  float bpm_;
};

}  // namespace pavaneflow
