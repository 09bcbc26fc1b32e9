#include "base/memory_file.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace pavaneflow {

void MemoryFile::Write(const std::uint8_t* data, std::size_t size) {
  pending_.insert(pending_.end(), data, data + size);
}

void MemoryFile::Reserve(std::uint64_t size) {
  pending_.reserve(static_cast<std::size_t>(size));
}

void MemoryFile::Extend(std::uint64_t size) {
  pending_.resize(pending_.size() + static_cast<std::size_t>(size));
}

void MemoryFile::WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
  if (offset > pending_.size() || size > pending_.size() - offset) {
    throw std::logic_error("MemoryFile::WriteAt past the written bytes");
  }
  std::copy_n(data, size, pending_.begin() + static_cast<std::ptrdiff_t>(offset));
}

void MemoryFile::Commit() {
  committed_ = std::move(pending_);
  pending_.clear();
}

}  // namespace pavaneflow
