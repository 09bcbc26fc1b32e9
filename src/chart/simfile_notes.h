#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "chart/chart_types.h"
#include "chart/problem_list.h"
#include "chart/score.h"
#include "chart/tick_ranges.h"

namespace pavaneflow {

// The notes of one simfile chart, read line by line as the note data is met and put into a Score
// once the whole file, and so the chart's timing, is known. Note data is measures separated by
// ",", each of its non-empty lines (trimmed) a row of one character per column, a "[...]"
// keysound suffix skipped.
class SimfileNotes {
 public:
  // One line of note data, numbered `line`.
  void AddLine(std::u16string_view text, std::int32_t line);
  // Ends the note data.
  void Finish();

  // Puts the notes into `score`, a chart of `mode`: nothing inside `warps` or `fakes` is stepped,
  // a tail ends its column's open hold even there, and a hold head never closed is removed with
  // an error on the line of its row. Empty beat Frames are filled in up to each Lane's last step,
  // as for DWI charts.
  void Fill(ChartMode mode, const TickRanges& warps, const TickRanges& fakes, Score& score,
            ProblemList& errors);

 private:
  enum class Kind : std::uint8_t { kStep, kHead, kTail };
  struct Mark {
    Tick tick;  // the row's index in its measure until the measure ends
    std::uint8_t column;
    Kind kind;
    NoteKind note;  // what Fill makes of it, or kRemoved
  };
  static constexpr NoteKind kRemoved = -1;
  void EndMeasure();
  // Reads row `index` of the measure being read from `at`, its first character, to the "," that
  // ends it or `end`, and returns where it stopped; its marks carry the index for a tick.
  const char16_t* ReadRow(const char16_t* at, const char16_t* end, std::int32_t line, Tick index);

  std::vector<Mark> marks_;
  std::vector<std::int32_t> headLines_;  // the line of each head's row, in order
  std::size_t measureStart_ = 0;         // the first mark of the measure being read
  Tick rows_ = 0;                        // of the measure being read so far
  std::int64_t measure_ = 0;
  bool ended_ = false;  // past the last tick
};

// The tick of row `row` of `rows` in measure `measure`: 192 per measure, rounded to the nearest
// tick, halves to even; false past the 32-bit range.
bool RowTick(std::int64_t measure, std::int64_t row, std::int64_t rows, Tick& tick);

}  // namespace pavaneflow
