#include "chart/simfile_timing_tags.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "chart/dwi_numbers.h"

namespace pavaneflow {

namespace {

// Above this the games take a tempo for a warp rather than a speed.
constexpr double kWarpTempo = 9999999.0;
constexpr double kSecondsPerMinute = 60.0;
constexpr float kDefaultBpm = 60.0f;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool ParseNumber(std::u16string_view text, double& out) {
  return ParseWholeNumber(Trimmed(text), out);
}

// The tick of a beat: × 48, halves away from zero; false beyond the 32-bit range.
bool BeatTick(double beat, Tick& tick) {
  const double ticks = std::round(beat * kTicksPerBeat);
  constexpr double kLimit = 2147483648.0;
  if (!(ticks >= -kLimit && ticks < kLimit)) return false;
  tick = static_cast<Tick>(ticks);
  return true;
}

double TickBeat(Tick tick) {
  return static_cast<double>(tick) / kTicksPerBeat;
}

}  // namespace

bool SimfileTimingTags::IsTimingTag(std::u16string_view name) {
  return name == u"OFFSET" || name == u"BPMS" || name == u"STOPS" || name == u"FREEZES" ||
         name == u"DELAYS" || name == u"WARPS" || name == u"FAKES";
}

void SimfileTimingTags::Read(const SimfileTag& tag, bool oldWarps, ProblemList& errors) {
  const std::u16string_view value =
      tag.params.empty() ? std::u16string_view() : std::u16string_view(tag.params[0]);
  auto bad = [&](std::u16string_view entry) {
    errors.Add(tag.line, ProblemKind::kUnreadableTimingEntry, {tag.name, std::u16string(entry)});
  };
  if (tag.name == u"OFFSET") {
    double offset = 0.0;
    if (ParseNumber(value, offset) && std::isfinite(offset)) {
      hasOffset_ = true;
      offset_ = offset;
    } else {
      bad(value);
    }
    return;
  }

  const bool sm = format_ == ChartFormat::kSm;
  std::vector<Entry>* list = &fakes_;
  if (tag.name == u"BPMS") {
    list = &bpms_;
    hasBpms_ = true;
    lastBpmsLine_ = tag.line;
  } else if (tag.name == u"STOPS" || tag.name == u"FREEZES") {
    list = &stops_;
  } else if (tag.name == u"DELAYS") {
    list = &delays_;
  } else if (tag.name == u"WARPS") {
    list = &warps_;
  }
  if (list != &fakes_) hasOwnTiming_ = true;

  for (std::size_t begin = 0; begin <= value.size();) {
    std::size_t end = value.find(u',', begin);
    if (end == std::u16string_view::npos) end = value.size();
    const std::u16string_view entry = Trimmed(value.substr(begin, end - begin));
    begin = end + 1;
    if (entry.empty()) continue;

    const std::size_t equals = entry.find(u'=');
    double beat = 0.0;
    double number = 0.0;
    Tick tick = 0;
    if (equals == std::u16string_view::npos ||
        entry.find(u'=', equals + 1) != std::u16string_view::npos ||
        !ParseNumber(entry.substr(0, equals), beat) ||
        !ParseNumber(entry.substr(equals + 1), number) || !BeatTick(beat, tick) ||
        std::isnan(number)) {
      bad(entry);
      continue;
    }
    if (list == &bpms_) number = static_cast<double>(NearestFloat(number));
    if (list == &warps_ && oldWarps) number -= beat;
    // Old files time warps with negative tempos and stops and leave zeros about; the newer
    // format allows only what it means.
    const bool tempoOrStop = list == &bpms_ || list == &stops_;
    if (sm && tempoOrStop) {
      if (number == 0.0) continue;
    } else if (!(number > 0.0)) {
      bad(entry);
      continue;
    }
    list->push_back({tick, beat, number});
  }
}

std::vector<SimfileTimingTags::Entry> SimfileTimingTags::LastPerTick(std::vector<Entry> entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.tick < b.tick; });
  std::vector<Entry> last;
  last.reserve(entries.size());
  for (const Entry& entry : entries) {
    if (!last.empty() && last.back().tick == entry.tick) {
      last.back() = entry;
    } else {
      last.push_back(entry);
    }
  }
  return last;
}

SimfileTiming SimfileTimingTags::Build(double offset, bool reportNoTempo,
                                       ProblemList& errors) const {
  SimfileTiming timing;
  timing.offset = offset;

  // Before beat 0 a tempo only sets the one at beat 0, and a stop delays the whole chart.
  std::vector<Entry> tempos;
  Entry first{0, 0.0, 0.0};
  bool haveFirst = false;
  for (const Entry& entry : LastPerTick(bpms_)) {
    if (entry.tick < 0) {
      first = {0, 0.0, entry.value};
      haveFirst = true;
    } else {
      tempos.push_back(entry);
    }
  }
  if (tempos.empty() || tempos.front().tick != 0) {
    // Without a tempo at beat 0, the next one holds from the start.
    if (!haveFirst && !tempos.empty()) first.value = tempos.front().value;
    if (haveFirst || !tempos.empty()) tempos.insert(tempos.begin(), first);
  }
  std::vector<Entry> stops;
  for (const Entry& entry : LastPerTick(stops_)) {
    if (entry.tick < 0) {
      timing.offset -= entry.value;
    } else {
      stops.push_back(entry);
    }
  }

  if (format_ == ChartFormat::kSm) {
    WalkNegatives(tempos, stops, timing);
  } else {
    for (const Entry& entry : tempos) {
      timing.tempos.push_back({entry.tick, static_cast<float>(entry.value)});
    }
    for (const Entry& entry : stops) timing.stops.push_back({entry.tick, entry.value});
  }
  for (const Entry& entry : LastPerTick(warps_)) timing.warps.push_back({entry.beat, entry.value});

  if (timing.tempos.empty()) {
    if (reportNoTempo || hasBpms_) {
      errors.Add(lastBpmsLine_, ProblemKind::kNoTempo);
    }
    timing.tempos.push_back({0, kDefaultBpm});
  }
  timing.tempos.front().tick = 0;
  for (const Entry& entry : LastPerTick(delays_))
    timing.delays.push_back({entry.tick, entry.value});
  for (const Entry& entry : LastPerTick(fakes_)) timing.fakes.push_back({entry.beat, entry.value});
  return timing;
}

void SimfileTimingTags::WalkNegatives(const std::vector<Entry>& tempos,
                                      const std::vector<Entry>& stops,
                                      SimfileTiming& timing) const {
  std::vector<TempoChange>& out = timing.tempos;
  auto putTempo = [&out](Tick tick, double bpm) {
    const auto at = std::lower_bound(out.begin(), out.end(), tick,
                                     [](const TempoChange& c, Tick t) { return c.tick < t; });
    const TempoChange change{tick, static_cast<float>(bpm)};
    if (at != out.end() && at->tick == tick) {
      *at = change;
    } else {
      out.insert(at, change);
    }
  };
  auto usable = [](double bpm) { return bpm > 0.0 && bpm <= kWarpTempo; };

  double bpm = std::numeric_limits<double>::quiet_NaN();  // none before the first tempo
  bool warping = false;
  Tick warpStart = 0;
  double deficit = 0.0;   // seconds still owed to the warp, 0 or below
  double position = 0.0;  // the beat up to which time is accounted for
  auto endWarp = [&](double beat) {
    timing.warps.push_back({TickBeat(warpStart), beat - TickBeat(warpStart)});
    putTempo(warpStart, bpm);
    warping = false;
  };
  // Accounts for the time from `position` to `beat` at the tempo in force, ending the warp where
  // the owed time is paid back.
  auto advance = [&](double beat) {
    if (warping && beat > position) {
      if (usable(bpm)) {
        const double end = position + -deficit * bpm / kSecondsPerMinute;
        if (end <= beat) {
          endWarp(end);
        } else {
          deficit += (beat - position) * kSecondsPerMinute / bpm;
        }
      } else if (bpm < 0.0) {
        deficit += (beat - position) * kSecondsPerMinute / bpm;
      }
    }
    position = std::max(position, beat);
  };

  std::size_t s = 0;
  for (std::size_t t = 0; t < tempos.size() || s < stops.size();) {
    // A tempo change comes before a stop at the same beat.
    const bool tempoNext =
        t < tempos.size() && (s >= stops.size() || tempos[t].tick <= stops[s].tick);
    const Entry& entry = tempoNext ? tempos[t++] : stops[s++];
    const double beat = TickBeat(entry.tick);
    advance(beat);
    if (tempoNext) {
      bpm = entry.value;
      if (usable(bpm)) {
        if (warping && deficit >= 0.0) endWarp(beat);
        putTempo(entry.tick, bpm);
      } else if (!warping) {
        warping = true;
        warpStart = entry.tick;
        deficit = 0.0;
      }
    } else if (entry.value < 0.0) {
      if (!warping) {
        warping = true;
        warpStart = entry.tick;
        deficit = 0.0;
      }
      deficit += entry.value;
    } else if (warping && usable(bpm) && deficit + entry.value >= 0.0) {
      const double rest = deficit + entry.value;
      endWarp(beat);
      if (rest > 0.0) timing.stops.push_back({entry.tick, rest});
    } else if (warping) {
      deficit += entry.value;
    } else {
      timing.stops.push_back({entry.tick, entry.value});
    }
  }
  if (warping) {
    if (usable(bpm)) {
      endWarp(position + -deficit * bpm / kSecondsPerMinute);
    } else {
      timing.warps.push_back({TickBeat(warpStart), std::numeric_limits<double>::infinity()});
    }
  }
  // A warp leaves its tempo where it began as well as where it was set.
  out.erase(std::unique(out.begin(), out.end(),
                        [](const TempoChange& a, const TempoChange& b) { return a.bpm == b.bpm; }),
            out.end());
}

}  // namespace pavaneflow
