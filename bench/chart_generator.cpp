#include "chart_generator.h"

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
