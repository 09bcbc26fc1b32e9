#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "chart/decoding_line_source.h"

namespace pavaneflow {

// The lines of text held in memory, decoded as a file's bytes would be. Handing the bytes out in
// small chunks lets tests cross every chunk boundary.
class TextBuffer : public DecodingLineSource {
 public:
  explicit TextBuffer(std::string bytes, std::size_t chunkSize = 0, bool utf8 = true)
      : DecodingLineSource(utf8), bytes_(std::move(bytes)), chunkSize_(chunkSize) {}

 protected:
  std::size_t ReadBytes(char* buffer, std::size_t size) override;

 private:
  std::string bytes_;
  std::size_t chunkSize_;  // 0: as much as asked for
  std::size_t position_ = 0;
};

}  // namespace pavaneflow
