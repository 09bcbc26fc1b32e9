#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pavaneflow {

// What the reader could not read at one place.
enum class ProblemKind {
  kUnsupportedTag,         // arguments: the tag's name ("CHANGEBPM")
  kUnsupportedCharacter,   // arguments: the character, as one code unit
  kUnreadableTimingEntry,  // arguments: the tag's name, the entry as written
  kTooFewValues,           // arguments: the tag's name ("NOTES")
  kUnsupportedChartType,   // arguments: the chart's type as written ("pump-single")
  kUnclosedHold,           // a hold head without its end, dropped
  kNoTempo,                // no usable tempo: read at 60 BPM
  kTempoNotPositive        // arguments: the tag's name ("BPM"), its value as written
};

// One numbered problem of a read: the line it is on (from 1), its kind and the words of the file
// it names. ProblemText gives its Japanese text (src/chart/problem_text.h).
struct ReadingProblem {
  std::int32_t line = 0;
  ProblemKind kind = ProblemKind::kUnsupportedTag;
  std::vector<std::u16string> arguments;
};

}  // namespace pavaneflow
