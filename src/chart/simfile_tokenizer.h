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

// Cuts a simfile, .sm or .ssc alike, into tags. Outside a tag everything up to the next "#" is
// skipped; "//" starts a comment to the end of the line anywhere; "\x" stands for x itself. A tag
// without its ";" ends before the next line whose first character other than blanks is "#", or
// at the end of the input. A NUL ends its line.
class SimfileTokenizer {
 public:
  explicit SimfileTokenizer(LineSource& input) : input_(input) {}

  // The next tag into `tag` (its storage reused); false at the end of the input.
  bool Next(SimfileTag& tag);

 private:
  bool NextLine();
  // Reads the parameters of the tag whose "#" was just taken, up to its end.
  void ReadTag(SimfileTag& tag);

  LineSource& input_;
  std::u16string_view line_;
  std::size_t column_ = 0;
  std::int32_t lineNumber_ = 0;
  bool ended_ = false;
};

}  // namespace pavaneflow
