#include "chart/decoding_line_source.h"

#include "base/compat.h"
#include "chart/code_unit_search.h"

namespace pavaneflow {

namespace {

// Small enough that the chunk and its decoded text stay in cache and cost a fresh read few page
// faults; a long line is put together from as many chunks as it needs.
constexpr std::size_t kChunkSize = 64 << 10;

}  // namespace

bool DecodingLineSource::ReadLine(std::u16string_view& line) {
  // Most lines lie whole in the decoded chunk: this path is kept short, without calls.
  const char16_t* const begin = decoded_.data() + position_;
  const char16_t* const end = decoded_.data() + decoded_.size();
  const char16_t* const lf = FindCodeUnit(begin, end, u'\n');
  if (lf == end) return ReadPiecedLine(line);
  position_ = static_cast<std::size_t>(lf - decoded_.data()) + 1;
  line = std::u16string_view(begin, static_cast<std::size_t>(lf - begin));
  if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
  return true;
}

bool DecodingLineSource::ReadPiecedLine(std::u16string_view& line) {
  pieces_.clear();
  for (;;) {
    const char16_t* const begin = decoded_.data() + position_;
    const char16_t* const end = decoded_.data() + decoded_.size();
    const char16_t* const lf = FindCodeUnit(begin, end, u'\n');
    if (lf != end) {
      position_ = static_cast<std::size_t>(lf - decoded_.data()) + 1;
      pieces_.append(begin, lf);
      line = pieces_;
      // The CR of a CR LF pair may have come in the previous chunk, so look at the line itself.
      if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
      return true;
    }
    pieces_.append(begin, end);
    decoded_.clear();
    position_ = 0;
    if (!Refill()) {
      line = pieces_;
      return !line.empty();
    }
  }
}

bool DecodingLineSource::Refill() {
  if (finished_) return false;
  // Left uninitialised: clearing a megabyte would cost more than reading a small file.
  if (!bytes_) bytes_ = compat::make_unique_for_overwrite<char[]>(kChunkSize);
  const std::size_t count = ReadBytes(bytes_.get(), kChunkSize);
  if (count == 0) {
    finished_ = true;
    decoder_.Finish(decoded_);
    return !decoded_.empty();
  }
  decoder_.Decode(std::string_view(bytes_.get(), count), decoded_);
  return true;
}

}  // namespace pavaneflow
