#include "vmd/byte_archive.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

#include "base/compat.h"
#include "vmd/not_supported_error.h"

namespace pavaneflow {

namespace {

std::array<std::uint8_t, 4> LittleEndian(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace

ByteArchive::ByteArchive(ByteSink& sink, Mode mode) : sink_(sink), mode_(mode) {
  // Left uninitialised: only bytes written are ever handed over.
  if (IsStoring()) buffer_ = compat::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize);
}

void ByteArchive::RefuseLoading() const {
  if (IsLoading()) throw NotSupportedError("this archive loads; it cannot store");
}

void ByteArchive::WriteThrough(std::span<const std::uint8_t> bytes) {
  RefuseLoading();
  while (!bytes.empty()) {
    if (used_ == kBufferSize) Flush();
    const std::size_t n = std::min(bytes.size(), kBufferSize - used_);
    std::memcpy(buffer_.get() + used_, bytes.data(), n);
    used_ += n;
    bytes = bytes.subspan(n);
  }
}

void ByteArchive::MakeRoom(std::size_t size) {
  RefuseLoading();
  if (size > kBufferSize) throw std::length_error("claimed more than the archive's buffer holds");
  Flush();
}

void ByteArchive::WriteInt32(std::int32_t value) {
  Write(LittleEndian(static_cast<std::uint32_t>(value)));
}

void ByteArchive::WriteFloat(float value) {
  Write(LittleEndian(compat::bit_cast<std::uint32_t>(value)));
}

void ByteArchive::Flush() {
  RefuseLoading();
  if (used_ == 0) return;
  // Forget the bytes before handing them over, so a failing sink is not fed them twice.
  const std::size_t n = used_;
  used_ = 0;
  sink_.Write(buffer_.get(), n);
}

}  // namespace pavaneflow
