#include "motion/timing/simfile_timing_map.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "chart/tick_ranges.h"

namespace pavaneflow {

namespace {

constexpr double kSecondsPerMinute = 60.0;

// Seconds of `ticks` at `bpm`, evaluated as the classic timing does.
double Seconds(float bpm, double ticks) {
  return kSecondsPerMinute / static_cast<double>(bpm) * ticks / static_cast<double>(kTicksPerBeat);
}

}  // namespace

SimfileTimingMap::SimfileTimingMap(std::shared_ptr<const SimfileTiming> timing)
    : timing_(std::move(timing)) {
  const std::vector<TempoChange>& tempos = timing_->tempos;
  const TickRanges warps(timing_->warps);
  // Where a tempo begins and where a warp begins or ends, a new piece starts.
  struct Cut {
    double at;
    int kind;  // 0 tempo, 1 warp begins, 2 warp ends
    float bpm;
  };
  std::vector<Cut> cuts;
  for (const TempoChange& change : tempos)
    cuts.push_back({static_cast<double>(change.tick), 0, change.bpm});
  for (const TickRanges::Stretch& stretch : warps.Stretches()) {
    if (!(stretch.end > 0.0)) continue;  // only tick 0 on counts
    cuts.push_back({std::max(stretch.begin, 0.0), 1, 0.0f});
    cuts.push_back({stretch.end, 2, 0.0f});
  }
  std::stable_sort(cuts.begin(), cuts.end(),
                   [](const Cut& a, const Cut& b) { return a.at < b.at; });

  float bpm = tempos.empty() ? 0.0f : tempos.front().bpm;
  bool warped = false;
  pieces_.push_back({0.0, bpm, false, 0.0});
  for (const Cut& cut : cuts) {
    if (cut.kind == 0) bpm = cut.bpm;
    if (cut.kind == 1) warped = true;
    if (cut.kind == 2) warped = false;
    Piece& last = pieces_.back();
    if (cut.at <= last.start) {
      last.bpm = bpm;
      last.warped = warped;
      continue;
    }
    const double whole = last.warped ? 0.0 : Seconds(last.bpm, cut.at - last.start);
    const double before = pieces_.size() == 1 ? whole : last.before + whole;
    pieces_.push_back({cut.at, bpm, warped, before});
  }
  stops_ = Sums(timing_->stops);
  delays_ = Sums(timing_->delays);
}

std::vector<SimfileTimingMap::PauseSum> SimfileTimingMap::Sums(const std::vector<Pause>& pauses) {
  std::vector<PauseSum> sums;
  sums.reserve(pauses.size());
  for (const Pause& pause : pauses) {
    sums.push_back(
        {pause.tick, sums.empty() ? pause.seconds : sums.back().through + pause.seconds});
  }
  return sums;
}

double SimfileTimingMap::PausesBefore(const std::vector<PauseSum>& sums, Tick tick, bool atToo) {
  const auto end = atToo ? std::upper_bound(sums.begin(), sums.end(), tick,
                                            [](Tick t, const PauseSum& s) { return t < s.tick; })
                         : std::lower_bound(sums.begin(), sums.end(), tick,
                                            [](const PauseSum& s, Tick t) { return s.tick < t; });
  return end == sums.begin() ? 0.0 : (end - 1)->through;
}

double SimfileTimingMap::BeatSeconds(Tick tick) const {
  const double t = tick;
  const auto after = std::upper_bound(pieces_.begin() + 1, pieces_.end(), t,
                                      [](double v, const Piece& p) { return v < p.start; });
  const Piece& piece = *(after - 1);
  double seconds = 0.0;
  if (after - 1 == pieces_.begin()) {
    // Also before tick 0, where the first tempo extends backwards.
    seconds = piece.warped && t >= 0.0 ? 0.0 : Seconds(piece.bpm, t);
  } else {
    seconds = piece.warped ? piece.before : piece.before + Seconds(piece.bpm, t - piece.start);
  }
  if (!stops_.empty()) seconds = seconds + PausesBefore(stops_, tick, false);
  if (!delays_.empty()) seconds = seconds + PausesBefore(delays_, tick, true);
  return seconds;
}

double SimfileTimingMap::StartSeconds(std::int32_t /*gap*/) const {
  return -timing_->offset;
}

}  // namespace pavaneflow
