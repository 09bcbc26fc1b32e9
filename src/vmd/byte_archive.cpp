#include "vmd/byte_archive.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "vmd/not_supported_error.h"

namespace pavaneflow {

namespace {

std::array<std::uint8_t, 4> LittleEndian(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace

void ByteArchive::RefuseLoading() const {
  if (IsLoading()) throw NotSupportedError("this archive loads; it cannot store");
}

void ByteArchive::Write(std::span<const std::uint8_t> bytes) {
  RefuseLoading();
  while (!bytes.empty()) {
    if (used_ == buffer_.size()) Flush();
    const std::size_t n = std::min(bytes.size(), buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, bytes.data(), n);
    used_ += n;
    bytes = bytes.subspan(n);
  }
}

void ByteArchive::WriteInt32(std::int32_t value) {
  Write(LittleEndian(static_cast<std::uint32_t>(value)));
}

void ByteArchive::WriteFloat(float value) {
  Write(LittleEndian(std::bit_cast<std::uint32_t>(value)));
}

void ByteArchive::Flush() {
  RefuseLoading();
  if (used_ == 0) return;
  // Forget the bytes before handing them over, so a failing sink is not fed them twice.
  const std::size_t n = used_;
  used_ = 0;
  sink_.Write(buffer_.data(), n);
}

}  // namespace pavaneflow
