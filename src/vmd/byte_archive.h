#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "vmd/byte_sink.h"

namespace pavaneflow {

// A sequential byte output in store mode, or a stand-in for loading, which nothing supports.
// Stored bytes collect in a 4096-byte buffer and go to the sink when it is full or on Flush;
// numbers are written little-endian whatever the host. Writing to a loading archive throws
// NotSupportedError; errors of the sink pass through unchanged.
class ByteArchive {
 public:
  enum class Mode { kStore, kLoad };
  static constexpr std::size_t kBufferSize = 4096;

  // The sink is not owned and must outlive the archive. A loading archive never touches it.
  ByteArchive(ByteSink& sink, Mode mode) : sink_(sink), mode_(mode) {}
  ByteArchive(const ByteArchive&) = delete;
  ByteArchive& operator=(const ByteArchive&) = delete;

  bool IsLoading() const { return mode_ == Mode::kLoad; }
  bool IsStoring() const { return mode_ == Mode::kStore; }

  void Write(std::span<const std::uint8_t> bytes);
  void WriteInt32(std::int32_t value);
  void WriteFloat(float value);
  // Hands the buffered bytes to the sink. Unflushed bytes are dropped with the archive.
  void Flush();

 private:
  void RefuseLoading() const;

  ByteSink& sink_;
  Mode mode_;
  std::array<std::uint8_t, kBufferSize> buffer_{};
  std::size_t used_ = 0;
};

}  // namespace pavaneflow
