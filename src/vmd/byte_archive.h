#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

#include "base/byte_sink.h"

namespace pavaneflow {

// A sequential byte output in store mode, or a stand-in for loading, which nothing supports.
// Stored bytes collect in a 1 MiB buffer and go to the sink when it is full or on Flush;
// numbers are written little-endian whatever the host. Writing to a loading archive throws
// NotSupportedError; errors of the sink pass through unchanged.
class ByteArchive {
 public:
  enum class Mode { kStore, kLoad };
  // Large, because a motion of millions of key frames is hundreds of megabytes: with 4 KiB
  // pieces the system calls alone would cost more than copying the finished file.
  static constexpr std::size_t kBufferSize = 1 << 20;

  // The sink is not owned and must outlive the archive. A loading archive never touches it.
  ByteArchive(ByteSink& sink, Mode mode);
  ByteArchive(const ByteArchive&) = delete;
  ByteArchive& operator=(const ByteArchive&) = delete;

  bool IsLoading() const { return mode_ == Mode::kLoad; }
  bool IsStoring() const { return mode_ == Mode::kStore; }

  void Write(std::span<const std::uint8_t> bytes) {
    // Inline for the common case, a field that fits: the writer calls this per field.
    if (buffer_ && bytes.size() <= kBufferSize - used_) {
      std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
    } else {
      WriteThrough(bytes);
    }
  }
  // Room for `size` (at most kBufferSize) bytes in a row inside the buffer, flushing first when
  // the rest of the buffer is too short; the caller fills every byte before the next call. Lets
  // a writer put a record straight into the buffer instead of assembling it elsewhere.
  std::uint8_t* Claim(std::size_t size) {
    if (!buffer_ || size > kBufferSize - used_) MakeRoom(size);
    std::uint8_t* room = buffer_.get() + used_;
    used_ += size;
    return room;
  }
  void WriteInt32(std::int32_t value);
  void WriteFloat(float value);
  // Hands the buffered bytes to the sink. Unflushed bytes are dropped with the archive.
  void Flush();

 private:
  void RefuseLoading() const;
  void WriteThrough(std::span<const std::uint8_t> bytes);
  void MakeRoom(std::size_t size);

  ByteSink& sink_;
  Mode mode_;
  std::unique_ptr<std::uint8_t[]> buffer_;  // null when loading

  std::size_t used_ = 0;
};

}  // namespace pavaneflow
