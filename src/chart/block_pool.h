#pragma once

#include <cstddef>
#include <vector>

#include "base/memory_chunk.h"

namespace pavaneflow {

// Raw memory in blocks of one fixed size, carved out of larger chunks. A freed block is kept
// for the next Allocate; chunks go back only at Release or destruction, so every block is gone
// then. Chunks grow from tens of kilobytes to tens of megabytes; the large ones are mapped
// straight from the operating system and, on Linux, backed by huge pages where it offers them,
// which spares millions of Frames most of their page faults. The small chunks of a released
// pool are kept (a few megabytes at most) for the next pool on the same thread. Allocate
// throws std::bad_alloc when memory runs out.
class BlockPool {
 public:
  // `blockBytes` a multiple of 16, at least 16 and at most the smallest chunk.
  explicit BlockPool(std::size_t blockBytes) : blockBytes_(blockBytes) {}
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;
  BlockPool(BlockPool&& other) noexcept;
  BlockPool& operator=(BlockPool&& other) noexcept;
  ~BlockPool() { Release(); }

  // A block of blockBytes, aligned to 16 bytes.
  void* Allocate() {
    if (free_ != nullptr) return PopFree();
    if (next_ == end_) Grow();
    void* block = next_;
    next_ += blockBytes_;
    return block;
  }
  // Gives back a block that Allocate returned.
  void Free(void* block) noexcept;
  // Gives back every chunk.
  void Release() noexcept;

 private:
  void* PopFree() noexcept;
  void Grow();

  std::size_t blockBytes_;
  std::vector<MemoryChunk> chunks_;
  // Freed blocks, each holding the address of the next one.
  void* free_ = nullptr;
  // The unused rest of the newest chunk.
  char* next_ = nullptr;
  char* end_ = nullptr;
};

}  // namespace pavaneflow
