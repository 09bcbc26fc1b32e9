#include "chart/block_pool.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace pavaneflow {

namespace {

constexpr std::size_t kFirstChunkBytes = 64 << 10;
constexpr std::size_t kLargestChunkBytes = 32 << 20;
#ifdef __linux__
constexpr std::size_t kHugePageBytes = 2 << 20;

// A chunk of `bytes` (a multiple of the huge page size) aligned to a huge page, so that the
// kernel can back all of it with huge pages; null when the system refuses.
void* MapHugeChunk(std::size_t bytes) {
  const std::size_t reserved = bytes + kHugePageBytes;
  void* raw = ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto* start = static_cast<char*>(raw);
  const auto address = reinterpret_cast<std::uintptr_t>(raw);
  const std::size_t head = (kHugePageBytes - address % kHugePageBytes) % kHugePageBytes;
  // The reserve beyond the aligned chunk goes back: `head` before it, the rest behind it.
  if (head > 0) ::munmap(start, head);
  ::munmap(start + head + bytes, kHugePageBytes - head);
  void* chunk = start + head;
  // Only advice: without huge pages the chunk works all the same.
  ::madvise(chunk, bytes, MADV_HUGEPAGE);
  return chunk;
}
#endif

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
  for (const Chunk& chunk : chunks_) {
#ifdef __linux__
    if (chunk.mapped) {
      ::munmap(chunk.memory, chunk.bytes);
      continue;
    }
#endif
    if (spareChunksClosed) {
      ::operator delete(chunk.memory);
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
  Chunk chunk{nullptr, bytes, false};
#ifdef __linux__
  if (bytes % kHugePageBytes == 0) {
    chunk.memory = MapHugeChunk(bytes);
    if (chunk.memory == nullptr) throw std::bad_alloc();
    chunk.mapped = true;
  }
#endif
  if (chunk.memory == nullptr && !spareChunksClosed) chunk.memory = spareChunks.Take(bytes);
  if (chunk.memory == nullptr) chunk.memory = ::operator new(bytes);
  chunks_.push_back(chunk);
  next_ = static_cast<char*>(chunk.memory);
  // A chunk holds whole blocks only.
  end_ = next_ + bytes / blockBytes_ * blockBytes_;
}

}  // namespace pavaneflow
