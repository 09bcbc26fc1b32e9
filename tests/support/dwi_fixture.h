#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/dwi_document.h"
#include "chart/lane.h"
#include "chart/score.h"

namespace pavaneflow::test {

// A DWI text read through the real reader, with its error entries split apart.
struct DwiRead {
  DWIDocument song;
  std::vector<std::string> errors;  // UTF-8, "N行目:..." each
  std::int64_t errorCount = 0;
  int viewUpdates = 0;
};

// Reads `bytes` (the file's bytes, UTF-8 unless it says otherwise) as a DWI file.
std::unique_ptr<DwiRead> ReadDwi(std::string_view bytes,
                                 ChartTiming timing = ChartTiming::kClassic);
// Reads `bytes` as a simfile of `format` (.sm or .ssc).
std::unique_ptr<DwiRead> ReadSimfile(std::string_view bytes, ChartFormat format);

// Compact views of the model for table-driven expectations. A Frame is "tick:" followed by its
// Notes, each the ArrowCode as a character with "*" for a freeze start and "/" for a freeze end;
// Frames are separated by blanks: "0:1 48:2* 96:2/".
std::string LaneText(const Lane& lane);
// Every Lane of a Score as "key[frames]", in order: "0[0:1 24:2] 1[0:0]".
std::string ScoreText(const Score& score);

std::string Utf8(std::u16string_view text);

}  // namespace pavaneflow::test
