#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "base/memory_chunk.h"
#include "vmd/motion_frame.h"

namespace pavaneflow {

// Storage for the key frames of one MotionDocument. Frames are placed one behind the other in
// blocks that never move, so a frame's address holds until Clear or destruction, and they can be
// visited or indexed in the order they were created. Blocks grow from
// a few kilobytes to tens of megabytes; the large ones are mapped straight from the operating
// system and, on Linux, backed by huge pages where it offers them, which saves most of the page
// faults that millions of frames would otherwise cost. Running out of memory throws
// std::bad_alloc and creates nothing.
class FrameArena {
 public:
  FrameArena() = default;
  FrameArena(const FrameArena&) = delete;
  FrameArena& operator=(const FrameArena&) = delete;
  ~FrameArena() { Clear(); }

  // A new frame for the bone and frame number, with the defaults of MotionFrame.
  MotionFrame* Create(const std::u16string* boneName, std::int32_t frameNumber) {
    if (next_ == end_) Grow();
    ++count_;
    return new (next_++) MotionFrame(boneName, frameNumber);
  }
  // Takes back the frame that the last Create returned (its caller could not use it).
  void DropLast() {
    --next_;
    --count_;
  }
  // Releases every block; all frames are gone.
  void Clear();

  std::size_t Count() const { return count_; }
  // The frame created `index`-th; index < Count().
  MotionFrame& At(std::size_t index) const;
  // Calls visit(first, count) for the frames created `begin`-th up to `end`-th (excluded), one
  // call per run of frames that lie one behind the other; end <= Count().
  template <typename Visit>
  void ForEachRun(std::size_t begin, std::size_t end, Visit visit) const {
    std::size_t blockStart = 0;
    for (const Block& block : blocks_) {
      if (begin >= end) return;
      const std::size_t blockEnd = blockStart + Capacity(block);
      if (begin < blockEnd) {
        const std::size_t stop = std::min(end, blockEnd);
        visit(static_cast<const MotionFrame*>(block.memory) + (begin - blockStart), stop - begin);
        begin = stop;
      }
      blockStart = blockEnd;
    }
  }
  // Calls visit(frame) for every frame in the order of creation.
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const Block& block : blocks_) {
      auto* frame = static_cast<MotionFrame*>(block.memory);
      // Every block but the last is full: Grow runs only when the last one is.
      MotionFrame* const end = &block == &blocks_.back() ? next_ : frame + Capacity(block);
      for (; frame != end; ++frame) visit(*frame);
    }
  }

 private:
  using Block = MemoryChunk;

  static std::size_t Capacity(const Block& block) { return block.bytes / sizeof(MotionFrame); }
  void Grow();

  std::vector<Block> blocks_;
  MotionFrame* next_ = nullptr;
  MotionFrame* end_ = nullptr;
  std::size_t count_ = 0;
};

}  // namespace pavaneflow
