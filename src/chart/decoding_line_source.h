#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "chart/line_source.h"
#include "chart/text_decoder.h"

namespace pavaneflow {

// Lines of a byte stream decoded by TextDecoder. A CR LF pair or a lone LF ends a line; a CR not
// followed by LF stays in the line. A last line without terminator is still a line. Lines have no
// length limit, and the cost is linear in the input however long a line is.
class DecodingLineSource : public LineSource {
 public:
  explicit DecodingLineSource(bool utf8 = true) : decoder_(utf8) {}

  bool ReadLine(std::u16string_view& line) override;

 protected:
  // Fills `buffer` with up to `size` next bytes and returns how many; 0 at end of input. Throws
  // FileError when the input cannot be read.
  virtual std::size_t ReadBytes(char* buffer, std::size_t size) = 0;

 private:
  // ReadLine for a line that runs past the decoded chunk, or the end of the input.
  bool ReadPiecedLine(std::u16string_view& line);
  // Decodes the next chunk into decoded_; false at end of input.
  bool Refill();

  TextDecoder decoder_;
  std::unique_ptr<char[]> bytes_;  // one chunk, allocated on first use
  std::u16string decoded_;
  std::size_t position_ = 0;  // next unread code unit of decoded_
  // A line that runs across chunks, put together; a line within one chunk is handed out where it
  // lies in decoded_, without a copy.
  std::u16string pieces_;
  bool finished_ = false;
};

}  // namespace pavaneflow
