#include "chart/text_buffer.h"

#include <algorithm>

namespace pavaneflow {

std::size_t TextBuffer::ReadBytes(char* buffer, std::size_t size) {
  if (chunkSize_ != 0) size = std::min(size, chunkSize_);
  const std::size_t count = bytes_.copy(buffer, size, std::min(position_, bytes_.size()));
  position_ += count;
  return count;
}

}  // namespace pavaneflow
