#pragma once

#include <string_view>

namespace pavaneflow {

// A source of text lines, decoded to UTF-16, without their terminators.
class LineSource {
 public:
  virtual ~LineSource() = default;
  // The next line into `line`, which stays valid until the next call; false (and `line` empty) at
  // end of input. Throws FileError when the input cannot be read.
  virtual bool ReadLine(std::u16string_view& line) = 0;
};

}  // namespace pavaneflow
