#include "base/memory_chunk.h"

#include <cstdint>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace pavaneflow {

namespace {

#ifdef __linux__
constexpr std::size_t kHugePageBytes = 2 << 20;

// A piece of `bytes` (a multiple of the huge page size) aligned to a huge page, so that the
// kernel can back all of it with huge pages; null when the system refuses.
void* MapHugePages(std::size_t bytes) {
  const std::size_t reserved = bytes + kHugePageBytes;
  void* raw = ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto* start = static_cast<char*>(raw);
  const auto address = reinterpret_cast<std::uintptr_t>(raw);
  const std::size_t head = (kHugePageBytes - address % kHugePageBytes) % kHugePageBytes;
  // The reserve beyond the aligned piece goes back: `head` before it, the rest behind it.
  if (head > 0) ::munmap(start, head);
  ::munmap(start + head + bytes, kHugePageBytes - head);
  void* memory = start + head;
  // Only advice: without huge pages the piece works all the same.
  ::madvise(memory, bytes, MADV_HUGEPAGE);
  return memory;
}
#endif

}  // namespace

bool MemoryChunk::IsMapped(std::size_t bytes) {
#ifdef __linux__
  return bytes % kHugePageBytes == 0;
#else
  static_cast<void>(bytes);
  return false;
#endif
}

MemoryChunk MemoryChunk::Allocate(std::size_t bytes) {
#ifdef __linux__
  if (IsMapped(bytes)) {
    void* memory = MapHugePages(bytes);
    if (memory == nullptr) throw std::bad_alloc();
    return {memory, bytes, true};
  }
#endif
  return {::operator new(bytes), bytes, false};
}

void MemoryChunk::Free() noexcept {
#ifdef __linux__
  if (mapped) {
    ::munmap(memory, bytes);
    return;
  }
#endif
  ::operator delete(memory);
}

}  // namespace pavaneflow
