#pragma once

#include <cstddef>

namespace pavaneflow {

// A piece of raw memory for millions of small records (chart Frames, key frames), which grow
// in pieces of doubling size. From 2 MiB on, a piece is mapped straight from the operating
// system and, on Linux, backed by huge pages where it offers them, which spares most of the
// page faults; smaller pieces come from operator new.
struct MemoryChunk {
  void* memory = nullptr;
  std::size_t bytes = 0;
  bool mapped = false;  // from the operating system rather than operator new

  // Whether a piece of `bytes` would be mapped from the operating system.
  static bool IsMapped(std::size_t bytes);
  // A piece of `bytes`, aligned for any record; throws std::bad_alloc.
  static MemoryChunk Allocate(std::size_t bytes);
  // Gives the piece back.
  void Free() noexcept;
};

}  // namespace pavaneflow
