#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "chart/chart_format.h"
#include "chart/chart_types.h"
#include "chart/problem_list.h"
#include "chart/simfile_timing.h"
#include "chart/simfile_tokenizer.h"

namespace pavaneflow {

// The timing tags of one scope of a simfile (the song, or one chart of an .ssc) as they are read;
// Build turns them into the SimfileTiming the format's rules make of them. A tag given twice adds
// its entries to those before it.
class SimfileTimingTags {
 public:
  explicit SimfileTimingTags(ChartFormat format) : format_(format) {}

  // Whether `name` (upper-cased) is one of OFFSET, BPMS, STOPS, FREEZES, DELAYS, WARPS, FAKES.
  static bool IsTimingTag(std::u16string_view name);

  // Reads the value of timing tag `tag`. An entry that is not "BEAT=VALUE" of two numbers, or a
  // value the format does not allow, adds an error on the tag's line. `oldWarps`: #WARPS values
  // are the beats the warps end at (.ssc before version 0.70) rather than their lengths.
  void Read(const SimfileTag& tag, bool oldWarps, ProblemList& errors);

  // Any of BPMS, STOPS (FREEZES), DELAYS or WARPS was given, even empty: a chart with one of them
  // is timed by its own lists.
  bool HasOwnTiming() const { return hasOwnTiming_; }
  bool HasOffset() const { return hasOffset_; }
  double Offset() const { return offset_; }

  // The timing of these tags. Without a usable tempo it is 60 BPM, and the error is reported on
  // the line of the last #BPMS (line 1 without one) when `reportNoTempo` or a #BPMS was given.
  SimfileTiming Build(double offset, bool reportNoTempo, ProblemList& errors) const;

 private:
  struct Entry {
    Tick tick;
    double beat;
    double value;
  };

  // The last entry of each tick, by ascending tick.
  static std::vector<Entry> LastPerTick(std::vector<Entry> entries);
  // Old .sm files say warps with negative tempos and stops; this turns them into warps.
  void WalkNegatives(const std::vector<Entry>& tempos, const std::vector<Entry>& stops,
                     SimfileTiming& timing) const;

  ChartFormat format_;
  bool hasOwnTiming_ = false;
  bool hasOffset_ = false;
  bool hasBpms_ = false;
  double offset_ = 0.0;
  std::int32_t lastBpmsLine_ = 1;
  std::vector<Entry> bpms_;
  std::vector<Entry> stops_;
  std::vector<Entry> delays_;
  std::vector<Entry> warps_;
  std::vector<Entry> fakes_;
};

}  // namespace pavaneflow
