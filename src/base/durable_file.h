#pragma once

#include <cstdint>

#include "base/byte_sink.h"

namespace pavaneflow {

// A file written all or nothing: the bytes written become the file only when Commit succeeds.
// Until then whatever the file held before is untouched; destroyed without a successful Commit,
// the writer leaves no trace. An AtomicFile on a POSIX file system, a MemoryFile in a page.
class DurableFile : public ByteSink {
 public:
  // Tells how many bytes the file will have, so that room can be set aside at once. Only a hint.
  virtual void Reserve(std::uint64_t size) = 0;
  // Makes the file `size` bytes longer at once, for WriteAt to fill in: a file whose parts are
  // made out of order (columns of numbers written as their rows are worked out). What the new
  // bytes hold until then is unspecified.
  virtual void Extend(std::uint64_t size) = 0;
  // Writes over bytes the file already has, starting `offset` bytes into it.
  virtual void WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size) = 0;
  // Puts the bytes written in place of the file. Once only.
  virtual void Commit() = 0;
};

}  // namespace pavaneflow
