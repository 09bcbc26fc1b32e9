#include "chart/note_list.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <new>

namespace pavaneflow {

NoteList& NoteList::operator=(const NoteList& other) {
  if (this != &other) Assign(other);
  return *this;
}

NoteList& NoteList::operator=(std::span<const Note> notes) {
  if (notes.data() >= begin() && notes.data() < end()) {
    // Part of this very list: copy it out first.
    const std::vector<Note> copy(notes.begin(), notes.end());
    Assign(copy);
  } else {
    Assign(notes);
  }
  return *this;
}

std::size_t NoteList::Capacity(std::size_t size) {
  return size <= kInline ? kInline : std::bit_ceil(size);
}

void NoteList::PushBackSlow(const Note& note) {
  const Note copy = note;  // `note` may live in the block that is about to move
  if (size_ == std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  if (size_ == Capacity(size_)) {
    Note* block = new Note[Capacity(std::size_t{size_} + 1)];
    std::copy_n(data(), size_, block);
    Release();
    SetHeap(block);
  }
  ++size_;  // first: the size tells where the Notes are
  back() = copy;
}

bool NoteList::Equal(std::span<const Note> a, std::span<const Note> b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

void NoteList::Assign(std::span<const Note> notes) {
  if (notes.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  Note* block = notes.size() > kInline ? new Note[Capacity(notes.size())] : nullptr;
  Release();
  size_ = static_cast<std::uint32_t>(notes.size());
  if (block != nullptr) SetHeap(block);
  std::copy(notes.begin(), notes.end(), data());
}

}  // namespace pavaneflow
