#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "chart/line_source.h"

namespace pavaneflow {

// A line source that can look at lines before they are read: game timing decides what a "<"
// is by what comes after it, possibly lines later. Copies every line it hands out, so that
// looking ahead never invalidates the line being read.
class LookaheadLineSource : public LineSource {
 public:
  explicit LookaheadLineSource(LineSource& input) : input_(input) {}

  bool ReadLine(std::u16string_view& line) override;
  // The line `ahead` lines after the last one read (0 for the next), or null past the end.
  // Valid until the next ReadLine.
  const std::u16string* Peek(std::size_t ahead);

 private:
  LineSource& input_;
  std::deque<std::u16string> ahead_;
  std::u16string current_;
  bool ended_ = false;
};

}  // namespace pavaneflow
