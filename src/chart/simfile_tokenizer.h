#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chart/line_source.h"

namespace pavaneflow {

// One tag of a simfile: "#NAME:param:param;".
struct SimfileTag {
  std::u16string name;  // trimmed, a..z upper-cased
  // The parameters after the name, trimmed of blanks and line ends, comments removed and escapes
  // resolved; the line ends inside a parameter are kept as "\n".
  std::vector<std::u16string> params;
  // The line of each parameter's first character after trimming (of its ":" when it is empty).
  std::vector<std::int32_t> paramLines;
  std::int32_t line = 0;  // of the "#"
};

// Takes chosen parameters line by line instead of as one string: a chart's note data.
class SimfileLineSink {
 public:
  virtual ~SimfileLineSink() = default;
  // Whether parameter `index` (from 0) of the tag named `name` (trimmed, upper-cased) goes to
  // TakeLine rather than into the tag, which then holds it empty.
  virtual bool TakesLines(std::u16string_view name, std::size_t index) = 0;
  // One line of such a parameter, comments removed and escapes resolved, blanks not trimmed;
  // `line` is its number. Empty lines may be left out.
  virtual void TakeLine(std::u16string_view text, std::int32_t line) = 0;
};

// Cuts a simfile, .sm or .ssc alike, into tags. Outside a tag everything up to the next "#" is
// skipped; "//" starts a comment to the end of the line anywhere; "\x" stands for x itself. A tag
// without its ";" ends before the next line whose first character other than blanks is "#", or
// at the end of the input. A NUL ends its line.
class SimfileTokenizer {
 public:
  // `sink`, if not null, takes the parameters it chooses line by line. Not owned.
  explicit SimfileTokenizer(LineSource& input, SimfileLineSink* sink = nullptr)
      : input_(input), sink_(sink) {}

  // The next tag into `tag` (its storage reused); false at the end of the input.
  bool Next(SimfileTag& tag);

 private:
  bool NextLine();
  // The column of the first code unit from column_ on that the tokenizer acts on in a tag
  // (`inTag`) or between tags, or npos; a NUL cuts the line short instead.
  std::size_t FindSpecial(bool inTag);
  // Whether the line has a code unit at column_, cutting it short at a NUL there.
  bool LineGoesOn();
  // Reads the parameters of the tag whose "#" was just taken, up to its end.
  void ReadTag(SimfileTag& tag);

  LineSource& input_;
  SimfileLineSink* sink_;
  std::u16string pending_;  // a streamed line with a comment or an escape, put together
  std::u16string_view line_;
  std::size_t column_ = 0;
  std::int32_t lineNumber_ = 0;
  bool ended_ = false;
};

}  // namespace pavaneflow
