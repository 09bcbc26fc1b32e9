#include "vmd/frame_arena.h"

#include <algorithm>
#include <stdexcept>
#include <type_traits>

namespace pavaneflow {

namespace {

// Frames are never destroyed one by one: the blocks are simply released.
static_assert(std::is_trivially_destructible_v<MotionFrame>);
// Millions of frames are most of a large motion's memory: keep them from growing unnoticed.
static_assert(sizeof(void*) != 8 || sizeof(MotionFrame) == 48);

constexpr std::size_t kFirstBlockBytes = 64 << 10;
constexpr std::size_t kLargestBlockBytes = 32 << 20;

}  // namespace

void FrameArena::Grow() {
  std::size_t bytes = kFirstBlockBytes;
  if (!blocks_.empty()) bytes = std::min(blocks_.back().bytes * 2, kLargestBlockBytes);
  blocks_.reserve(blocks_.size() + 1);  // so that recording the block cannot fail and leak it
  const MemoryChunk block = MemoryChunk::Allocate(bytes);
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
  for (MemoryChunk& block : blocks_) block.Free();
  blocks_.clear();
  next_ = nullptr;
  end_ = nullptr;
  count_ = 0;
}

}  // namespace pavaneflow
