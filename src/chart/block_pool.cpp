#include "chart/block_pool.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

namespace pavaneflow {

namespace {

constexpr std::size_t kFirstChunkBytes = 64 << 10;
constexpr std::size_t kLargestChunkBytes = 32 << 20;
// Chunks from operator new that released pools left behind for the next pool on the same
// thread: a program that reads one file after another then writes its Frames into warm memory
// instead of faulting in fresh pages for every file.
constexpr std::size_t kMaxSpareBytes = 2 << 20;

// Set once the thread's spares are gone: a pool released later, while statics are destroyed,
// frees its chunks itself.
thread_local bool spareChunksClosed = false;

struct SpareChunks {
  std::vector<std::pair<void*, std::size_t>> chunks;  // memory and size
  std::size_t total = 0;

  SpareChunks() = default;
  SpareChunks(const SpareChunks&) = delete;
  SpareChunks& operator=(const SpareChunks&) = delete;
  ~SpareChunks() {
    spareChunksClosed = true;
    for (const auto& [memory, size] : chunks) ::operator delete(memory);
  }

  // Keeps the chunk, or frees it when the spares are full.
  void Put(void* memory, std::size_t size) noexcept {
    if (total + size <= kMaxSpareBytes) {
      try {
        chunks.emplace_back(memory, size);
        total += size;
        return;
      } catch (const std::bad_alloc&) {
        // Not kept, then.
      }
    }
    ::operator delete(memory);
  }
  // The chunk of `size` kept last (the warmest), or null.
  void* Take(std::size_t size) noexcept {
    for (auto it = chunks.rbegin(); it != chunks.rend(); ++it) {
      if (it->second != size) continue;
      void* memory = it->first;
      chunks.erase(std::next(it).base());
      total -= size;
      return memory;
    }
    return nullptr;
  }
};

thread_local SpareChunks spareChunks;

}  // namespace

BlockPool::BlockPool(BlockPool&& other) noexcept
    : blockBytes_(other.blockBytes_),
      chunks_(std::move(other.chunks_)),
      free_(std::exchange(other.free_, nullptr)),
      next_(std::exchange(other.next_, nullptr)),
      end_(std::exchange(other.end_, nullptr)) {
  other.chunks_.clear();
}

BlockPool& BlockPool::operator=(BlockPool&& other) noexcept {
  if (this != &other) {
    Release();
    blockBytes_ = other.blockBytes_;
    chunks_ = std::move(other.chunks_);
    other.chunks_.clear();
    free_ = std::exchange(other.free_, nullptr);
    next_ = std::exchange(other.next_, nullptr);
    end_ = std::exchange(other.end_, nullptr);
  }
  return *this;
}

void BlockPool::Free(void* block) noexcept {
  std::memcpy(block, &free_, sizeof free_);
  free_ = block;
}

void* BlockPool::PopFree() noexcept {
  void* block = free_;
  std::memcpy(&free_, block, sizeof free_);
  return block;
}

void BlockPool::Release() noexcept {
  for (MemoryChunk& chunk : chunks_) {
    if (chunk.mapped || spareChunksClosed) {
      chunk.Free();
    } else {
      spareChunks.Put(chunk.memory, chunk.bytes);
    }
  }
  chunks_.clear();
  free_ = nullptr;
  next_ = nullptr;
  end_ = nullptr;
}

void BlockPool::Grow() {
  std::size_t bytes = kFirstChunkBytes;
  if (!chunks_.empty()) bytes = std::min(chunks_.back().bytes * 2, kLargestChunkBytes);
  chunks_.reserve(chunks_.size() + 1);  // so that recording the chunk cannot fail and leak it
  MemoryChunk chunk;
  if (!MemoryChunk::IsMapped(bytes) && !spareChunksClosed) {
    chunk = {spareChunks.Take(bytes), bytes, false};
  }
  if (chunk.memory == nullptr) chunk = MemoryChunk::Allocate(bytes);
  chunks_.push_back(chunk);
  next_ = static_cast<char*>(chunk.memory);
  // A chunk holds whole blocks only.
  end_ = next_ + bytes / blockBytes_ * blockBytes_;
}

}  // namespace pavaneflow
