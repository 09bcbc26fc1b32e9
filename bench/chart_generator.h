#pragma once

#include <cstdint>
#include <string>

namespace pavaneflow::bench {

// DWI files for measuring: a header and one SINGLE chart whose body repeats one line of steps
// with the mix of the public chart corpus: about 60% rests, the rest taps, jumps, freezes and
// "(" and "[" groups, so that every path of the reader and of the synthesis is taken. Lines end
// in CR LF.

// A file whose chart has exactly `steps` step characters (those that take time: rests count,
// "!" and the arrow after it, brackets and parentheses do not).
std::string GenerateChart(std::int64_t steps);

// A file of `bytes` bytes or a few more: as many steps as it takes to get there.
std::string GenerateChartOfSize(std::size_t bytes);

// A DOUBLE chart of about `bytes` bytes: both pads carry the same steps, the second one a step
// later, so that reading it inserts a Frame between every two of the first pad's.
std::string GenerateDoubleChartOfSize(std::size_t bytes);

// An .ssc simfile of about `bytes` bytes as the game editors write them: song timing with tempo
// changes, stops, delays and warps, and dance-single charts, every fourth with timing of its own,
// of measures of 4 to 16 rows with taps, jumps, holds, rolls and mines. Lines end in CR LF.
std::string GenerateSscOfSize(std::size_t bytes);

}  // namespace pavaneflow::bench
