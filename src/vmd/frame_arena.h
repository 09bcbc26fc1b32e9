#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "vmd/motion_frame.h"

namespace pavaneflow {

// Storage for the key frames of one MotionDocument. Frames are placed one behind the other in
// blocks that never move, so a frame's address holds until Clear or destruction. Blocks grow from
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
    return new (next_++) MotionFrame(boneName, frameNumber);
  }
  // Takes back the frame that the last Create returned (its caller could not use it).
  void DropLast() { --next_; }
  // Releases every block; all frames are gone.
  void Clear();

 private:
  struct Block {
    void* memory;
    std::size_t bytes;
    bool mapped;  // from the operating system rather than operator new
  };

  void Grow();

  std::vector<Block> blocks_;
  MotionFrame* next_ = nullptr;
  MotionFrame* end_ = nullptr;
};

}  // namespace pavaneflow
