#include "vmd/frame_arena.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <type_traits>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace pavaneflow {

namespace {

// Frames are never destroyed one by one: the blocks are simply released.
static_assert(std::is_trivially_destructible_v<MotionFrame>);
// Millions of frames are most of a large motion's memory: keep them from growing unnoticed.
static_assert(sizeof(void*) != 8 || sizeof(MotionFrame) == 48);

constexpr std::size_t kFirstBlockBytes = 64 << 10;
constexpr std::size_t kLargestBlockBytes = 32 << 20;
#ifdef __linux__
constexpr std::size_t kHugePageBytes = 2 << 20;

// A block of `bytes` (a multiple of the huge page size) aligned to a huge page, so that the
// kernel can back all of it with huge pages; null when the system refuses.
void* MapHugeBlock(std::size_t bytes) {
  const std::size_t reserved = bytes + kHugePageBytes;
  void* raw = ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto* start = static_cast<char*>(raw);
  const auto address = reinterpret_cast<std::uintptr_t>(raw);
  const std::size_t head = (kHugePageBytes - address % kHugePageBytes) % kHugePageBytes;
  // The reserve beyond the aligned block goes back: `head` before it, the rest behind it.
  if (head > 0) ::munmap(start, head);
  ::munmap(start + head + bytes, kHugePageBytes - head);
  void* block = start + head;
  // Only advice: without huge pages the block works all the same.
  ::madvise(block, bytes, MADV_HUGEPAGE);
  return block;
}
#endif

}  // namespace

void FrameArena::Grow() {
  std::size_t bytes = kFirstBlockBytes;
  if (!blocks_.empty()) bytes = std::min(blocks_.back().bytes * 2, kLargestBlockBytes);
  blocks_.reserve(blocks_.size() + 1);  // so that recording the block cannot fail and leak it
  Block block{nullptr, bytes, false};
#ifdef __linux__
  if (bytes % kHugePageBytes == 0) {
    block.memory = MapHugeBlock(bytes);
    if (block.memory == nullptr) throw std::bad_alloc();
    block.mapped = true;
  }
#endif
  if (block.memory == nullptr) {
    block.memory = ::operator new(bytes);
  }
  blocks_.push_back(block);
  next_ = static_cast<MotionFrame*>(block.memory);
  end_ = next_ + bytes / sizeof(MotionFrame);
}

MotionFrame& FrameArena::At(std::size_t index) const {
  // A few dozen blocks at most, each twice the one before until the largest size.
  for (const Block& block : blocks_) {
    if (index < Capacity(block)) return static_cast<MotionFrame*>(block.memory)[index];
    index -= Capacity(block);
  }
  throw std::out_of_range("FrameArena::At beyond the last frame");
}

void FrameArena::Clear() {
  for (const Block& block : blocks_) {
#ifdef __linux__
    if (block.mapped) {
      ::munmap(block.memory, block.bytes);
      continue;
    }
#endif
    ::operator delete(block.memory);
  }
  blocks_.clear();
  next_ = nullptr;
  end_ = nullptr;
  count_ = 0;
}

}  // namespace pavaneflow
