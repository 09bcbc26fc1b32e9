#include "base/memory_file.h"

#include <utility>

namespace pavaneflow {

void MemoryFile::Write(const std::uint8_t* data, std::size_t size) {
  pending_.insert(pending_.end(), data, data + size);
}

void MemoryFile::Reserve(std::uint64_t size) {
  pending_.reserve(static_cast<std::size_t>(size));
}

void MemoryFile::Commit() {
  committed_ = std::move(pending_);
  pending_.clear();
}

}  // namespace pavaneflow
