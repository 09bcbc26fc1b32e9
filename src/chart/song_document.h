#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/document.h"
#include "chart/chart_format.h"
#include "chart/chart_types.h"
#include "chart/score.h"
#include "chart/simfile_timing.h"
#include "chart/skipped_chart.h"
#include "chart/timing_events.h"

namespace pavaneflow {

// A song read from a chart file: its header values and one Score per chart, in file order.
// Owns the Scores; Score pointers stay valid until the next DeleteContents.
class SongDocument : public Document {
 public:
  void DeleteContents() override;
  // A header value (title, artist, BPM, music file, GAP) was stored: marks the document modified
  // and refreshes its views, which show each header value as soon as it is read.
  void HeaderChanged();

  std::u16string title;
  std::u16string artist;
  float bpm = 0.0f;
  std::u16string file;   // music file name; stored only
  std::int32_t gap = 0;  // milliseconds
  std::vector<std::unique_ptr<Score>> scores;
  // Read in game timing only, for the whole file: by ascending tick, one entry per tick.
  std::vector<TempoChange> tempos;
  std::vector<Stop> stops;

  // What the file was, and what only simfiles give: the subtitle and the transliterations (kept,
  // not shown) and the song's timing, which each Score of a simfile points to unless it has its
  // own. `bpm` is then the first tempo and `gap` -OFFSET in milliseconds, both for display only.
  ChartFormat format = ChartFormat::kDwi;
  std::u16string subtitle;
  std::u16string titleTranslit;
  std::u16string artistTranslit;
  std::shared_ptr<const SimfileTiming> simfileTiming;  // null for DWI

  // Chart tags that were skipped, in the order of their first appearance, each with its count.
  std::vector<SkippedChart> skippedCharts;

  // Whether the charts can be timed: a simfile always can (60 BPM when it gives no tempo); a DWI
  // file needs a #BPM that is a positive finite number. Without one there is nothing to dance.
  bool HasUsableTempo() const;

  // Counts one more skipped chart of `tag`.
  void CountSkippedChart(std::u16string_view tag);
};

}  // namespace pavaneflow
