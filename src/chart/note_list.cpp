#include "chart/note_list.h"

#include <algorithm>
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

void NoteList::Grow(const Note& note) {
  const Note copy = note;  // `note` may live in the block that is about to move
  Reserve(std::size_t{capacity_} * 2);
  data()[size_++] = copy;
}

bool NoteList::Equal(std::span<const Note> a, std::span<const Note> b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

void NoteList::Assign(std::span<const Note> notes) {
  size_ = 0;
  Reserve(notes.size());
  std::copy(notes.begin(), notes.end(), data());
  size_ = static_cast<std::uint32_t>(notes.size());
}

void NoteList::Reserve(std::size_t capacity) {
  if (capacity <= capacity_) return;
  if (capacity > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  Note* block = new Note[capacity];
  std::copy_n(data(), size_, block);
  Release();
  storage_.heap_ = block;
  capacity_ = static_cast<std::uint32_t>(capacity);
}

}  // namespace pavaneflow
