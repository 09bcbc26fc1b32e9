#pragma once

#include <cstddef>
#include <vector>

#include "chart/chart_types.h"
#include "chart/simfile_timing.h"

namespace pavaneflow {

// Beat ranges merged into disjoint stretches of ticks, unrounded, in ascending order: answers
// whether a tick lies inside any of them in logarithmic time however many overlap.
class TickRanges {
 public:
  struct Stretch {
    double begin;  // ticks, inside
    double end;    // ticks, outside; infinite for a range that never ends
  };

  explicit TickRanges(const std::vector<BeatRange>& ranges);

  bool Contains(Tick tick) const;
  // The same for ticks asked in ascending order: `from`, 0 at first, carries the place from one
  // call to the next, so that a whole chart costs one pass over the stretches.
  // Inline: asked once for every note of a chart.
  bool Contains(Tick tick, std::size_t& from) const {
    const double t = tick;
    while (from < stretches_.size() && stretches_[from].end <= t) ++from;
    return from < stretches_.size() && stretches_[from].begin <= t;
  }
  const std::vector<Stretch>& Stretches() const { return stretches_; }

 private:
  std::vector<Stretch> stretches_;
};

}  // namespace pavaneflow
