#include "chart/tick_ranges.h"

#include <algorithm>

namespace pavaneflow {

TickRanges::TickRanges(const std::vector<BeatRange>& ranges) {
  constexpr double kTicks = kTicksPerBeat;
  std::vector<Stretch> all;
  all.reserve(ranges.size());
  for (const BeatRange& range : ranges) {
    const double begin = range.start * kTicks;
    const double end = (range.start + range.length) * kTicks;
    if (begin < end) all.push_back({begin, end});
  }
  std::sort(all.begin(), all.end(),
            [](const Stretch& a, const Stretch& b) { return a.begin < b.begin; });
  for (const Stretch& stretch : all) {
    if (!stretches_.empty() && stretch.begin <= stretches_.back().end) {
      stretches_.back().end = std::max(stretches_.back().end, stretch.end);
    } else {
      stretches_.push_back(stretch);
    }
  }
}

bool TickRanges::Contains(Tick tick) const {
  const double t = tick;
  const auto after = std::upper_bound(stretches_.begin(), stretches_.end(), t,
                                      [](double v, const Stretch& s) { return v < s.begin; });
  return after != stretches_.begin() && t < (after - 1)->end;
}

}  // namespace pavaneflow
