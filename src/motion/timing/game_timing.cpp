#include "motion/timing/game_timing.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "chart/song_document.h"

namespace pavaneflow {

namespace {

constexpr double kSecondsPerMinute = 60.0;
constexpr double kMillisecondsPerSecond = 1000.0;

// Seconds of `ticks` ticks at `bpm`, evaluated as the classic timing does.
double Seconds(float bpm, std::int64_t ticks) {
  return kSecondsPerMinute / static_cast<double>(bpm) * static_cast<double>(ticks) /
         static_cast<double>(kTicksPerBeat);
}

}  // namespace

GameTiming::GameTiming(const SongDocument& song) : GameTiming(song.bpm, song.tempos, song.stops) {}

GameTiming::GameTiming(float bpm, const std::vector<TempoChange>& tempos,
                       const std::vector<Stop>& stops) {
  segments_.push_back({0, bpm, 0.0});
  for (const TempoChange& change : tempos) {
    Segment& last = segments_.back();
    if (change.tick == last.start) {
      last.bpm = change.bpm;  // a change at tick 0 replaces the BPM
      continue;
    }
    const double whole = Seconds(last.bpm, std::int64_t{change.tick} - last.start);
    // The first whole segment is its own sum: nothing is added to it.
    const double before = segments_.size() == 1 ? whole : last.before + whole;
    segments_.push_back({change.tick, change.bpm, before});
  }

  double floor = -std::numeric_limits<double>::infinity();
  for (const Stop& stop : stops) {
    if (stop.ms < 0.0) {
      const double at = std::max(Unfloored(stop.tick, stops_.size()), floor);
      floor = std::max(floor, at);
    }
    const double seconds = stop.ms / kMillisecondsPerSecond;
    stops_.push_back(
        {stop.tick, stops_.empty() ? seconds : stops_.back().through + seconds, floor});
  }
}

double GameTiming::BeatSeconds(Tick tick) const {
  const std::size_t below = StopsBelow(tick);
  const double seconds = Unfloored(tick, below);
  if (below == 0) return seconds;
  // A comparison, not std::max: a time that is not a number stays so.
  const double floor = stops_[below - 1].floor;
  return floor > seconds ? floor : seconds;
}

double GameTiming::Unfloored(Tick tick, std::size_t stopsBelow) const {
  // The segment of `tick` is the last one starting at or before it; ticks below 0 belong to
  // the first.
  const auto after = std::upper_bound(segments_.begin() + 1, segments_.end(), tick,
                                      [](Tick t, const Segment& s) { return t < s.start; });
  const Segment& segment = *(after - 1);
  double seconds = Seconds(segment.bpm, std::int64_t{tick} - segment.start);
  // Sums that are empty are left out rather than added as 0.0, which would turn -0.0 into 0.0.
  if (after - 1 != segments_.begin()) seconds = segment.before + seconds;
  if (stopsBelow > 0) seconds = seconds + stops_[stopsBelow - 1].through;
  return seconds;
}

std::size_t GameTiming::StopsBelow(Tick tick) const {
  return static_cast<std::size_t>(
      std::lower_bound(stops_.begin(), stops_.end(), tick,
                       [](const StopSum& s, Tick t) { return s.tick < t; }) -
      stops_.begin());
}

}  // namespace pavaneflow
