#include "chart/lookahead_line_source.h"

namespace pavaneflow {

bool LookaheadLineSource::ReadLine(std::u16string_view& line) {
  if (ahead_.empty() && Peek(0) == nullptr) {
    line = {};
    return false;
  }
  current_ = std::move(ahead_.front());
  ahead_.pop_front();
  line = current_;
  return true;
}

const std::u16string* LookaheadLineSource::Peek(std::size_t ahead) {
  while (ahead_.size() <= ahead) {
    std::u16string_view line;
    if (ended_ || !input_.ReadLine(line)) {
      ended_ = true;
      return nullptr;
    }
    ahead_.emplace_back(line);
  }
  return &ahead_[ahead];
}

}  // namespace pavaneflow
