#pragma once

#include <cstddef>
#include <cstdint>

namespace pavaneflow {

// Where a writer sends its bytes: a ByteArchive, or an AtomicFile as a sink itself. Write takes all
// `size` bytes or throws.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
};

}  // namespace pavaneflow
