#include "chart_generator.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace pavaneflow::bench {

namespace {

// One line of 106 steps in 118 characters, 64 of them rests; a token never splits a group or a
// freeze, so a chart can end after any token.
constexpr std::array<std::string_view, 12> kPhrase{
    "20804060",  "8!8000400", "(2468)0000", "B000A000", "60804020",         "[123789]000000",
    "6!6000200", "40206080",  "(1397)0000", "80004000", "9000300070001000", "[2424]0000",
};

constexpr std::string_view kHeader =
    "#TITLE:Benchmark;\r\n#ARTIST:Pavaneflow;\r\n#BPM:150.000;\r\n#GAP:120;\r\n"
    "#FILE:benchmark.mp3;\r\n#SINGLE:BASIC:5:\r\n";
constexpr std::string_view kEnd = ";\r\n";

std::int64_t CountSteps(std::string_view token) {
  std::int64_t steps = 0;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if (token[i] == '!') {
      ++i;  // the freeze arrow takes no time
    } else if (token[i] != '(' && token[i] != ')' && token[i] != '[' && token[i] != ']') {
      ++steps;
    }
  }
  return steps;
}

// Appends the phrase token by token, a line break after each whole phrase.
class PhraseWriter {
 public:
  explicit PhraseWriter(std::string& text) : text_(text) {}

  std::int64_t NextSteps() const { return CountSteps(kPhrase[index_]); }

  void Append() {
    text_ += kPhrase[index_];
    if (++index_ == kPhrase.size()) {
      text_ += "\r\n";
      index_ = 0;
    }
  }

 private:
  std::string& text_;
  std::size_t index_ = 0;
};

}  // namespace

std::string GenerateChart(std::int64_t steps) {
  std::string text(kHeader);
  PhraseWriter phrase(text);
  std::int64_t left = steps;
  while (left > 0 && phrase.NextSteps() <= left) {
    left -= phrase.NextSteps();
    phrase.Append();
  }
  // Fewer steps left than the next token holds: finish with eighth-note taps.
  static constexpr std::string_view kArrows = "2486";
  for (std::int64_t i = 0; i < left; ++i) text += kArrows[static_cast<std::size_t>(i % 4)];
  text += kEnd;
  return text;
}

std::string GenerateChartOfSize(std::size_t bytes) {
  std::string text(kHeader);
  PhraseWriter phrase(text);
  while (text.size() + kEnd.size() < bytes) phrase.Append();
  text += kEnd;
  return text;
}

std::string GenerateSscOfSize(std::size_t bytes) {
  static constexpr std::string_view kSong =
      "#VERSION:0.83;\r\n#TITLE:Benchmark;\r\n#ARTIST:Pavaneflow;\r\n#MUSIC:benchmark.ogg;\r\n"
      "#OFFSET:-0.120;\r\n#BPMS:0.000=150.000,64.000=175.000,128.000=150.000;\r\n"
      "#STOPS:32.000=0.400,96.000=0.200;\r\n#DELAYS:48.000=0.100;\r\n#WARPS:160.000=0.500;\r\n"
      "#TIMESIGNATURES:0.000=4=4;\r\n#TICKCOUNTS:0.000=4;\r\n";
  static constexpr std::string_view kOwnTiming =
      "#OFFSET:-0.100;\r\n#BPMS:0.000=140.000,100.000=160.000;\r\n#STOPS:;\r\n";
  // Measures of 4, 8 and 16 rows, heads closed in the same measure.
  static constexpr std::array<std::string_view, 4> kMeasures{
      "1000\r\n0100\r\n0010\r\n0001\r\n",
      "2000\r\n0000\r\n0100\r\n0000\r\n3010\r\n0000\r\n1001\r\n0000\r\n",
      "1000\r\n0000\r\n0100\r\n0000\r\n0010\r\n0M00\r\n0001\r\n0000\r\n"
      "0400\r\n0000\r\n1000\r\n0000\r\n0300\r\n0000\r\n0011\r\n0000\r\n",
      "1100\r\n0000\r\n0000\r\n0000\r\n",
  };
  static constexpr std::size_t kChartBytes = 1 << 20;
  std::string text(kSong);
  for (int chart = 0; text.size() < bytes; ++chart) {
    text +=
        "\r\n//--------------- dance-single ----------------\r\n#NOTEDATA:;\r\n"
        "#CHARTNAME:;\r\n#STEPSTYPE:dance-single;\r\n#DESCRIPTION:;\r\n"
        "#DIFFICULTY:Challenge;\r\n#METER:12;\r\n#RADARVALUES:0,0,0,0,0;\r\n";
    if (chart % 4 == 3) text += kOwnTiming;
    text += "#NOTES:\r\n";
    const std::size_t end = std::min(bytes, text.size() + kChartBytes);
    for (std::size_t measure = 0; text.size() < end; ++measure) {
      if (measure > 0) text += ",\r\n";
      text += kMeasures[measure % kMeasures.size()];
    }
    text += ";\r\n";
  }
  return text;
}

std::string GenerateDoubleChartOfSize(std::size_t bytes) {
  std::string pad;
  PhraseWriter phrase(pad);
  while (2 * pad.size() + kHeader.size() < bytes) phrase.Append();
  std::string text(kHeader);
  text.replace(text.find("#SINGLE:"), 7, "#DOUBLE");
  text += pad;
  text += ":0";
  text += pad;
  text += kEnd;
  return text;
}

}  // namespace pavaneflow::bench
