#pragma once

#include <cstdint>
#include <string_view>

#include "chart/chart_types.h"
#include "chart/error_text.h"
#include "chart/score.h"
#include "chart/tick_ranges.h"

namespace pavaneflow {

// Reads the note data of one simfile chart into `score` (of mode `mode`): measures separated by
// ",", each of rows of one character per column. `firstLine` is the line of the data's first
// character. Steps inside `warps` or `fakes` are not stepped; a hold head never closed is removed
// with an error on the line of its row. Empty beat Frames are filled in up to each Lane's last
// step, as for DWI charts.
void ReadNoteData(std::u16string_view data, std::int32_t firstLine, ChartMode mode,
                  const TickRanges& warps, const TickRanges& fakes, Score& score,
                  ErrorText& errors);

// The tick of row `row` of `rows` in measure `measure`: 192 per measure, rounded to the nearest
// tick, halves to even; false past the 32-bit range.
bool RowTick(std::int64_t measure, std::int64_t row, std::int64_t rows, Tick& tick);

}  // namespace pavaneflow
