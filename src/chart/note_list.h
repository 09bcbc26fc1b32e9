#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <vector>

#include "chart/note.h"

namespace pavaneflow {

// The Notes of a Frame, in order. Nearly every Frame has one or two Notes, so two are held in
// place and only a Frame with more allocates: reading a chart costs no allocation per Frame.
// The list is 12 bytes at 4-byte alignment, so that a Frame is 16: the capacity follows from
// the size (in place up to two, else the next power of two), and the block pointer is kept
// bytewise.
class NoteList {
 public:
  using value_type = Note;
  using size_type = std::size_t;
  using iterator = Note*;
  using const_iterator = const Note*;

  NoteList() = default;
  NoteList(std::initializer_list<Note> notes) { Assign(notes); }
  NoteList(const NoteList& other) { Assign(other); }
  // Moves are bytewise, inline Notes and heap block alike, and leave `other` empty: Frames move
  // often (block splits, beat insertion), so they must be cheap and inlined.
  NoteList(NoteList&& other) noexcept : size_(other.size_), storage_(other.storage_) {
    other.size_ = 0;
  }
  NoteList& operator=(const NoteList& other);
  NoteList& operator=(NoteList&& other) noexcept {
    if (this != &other) {
      Release();
      size_ = other.size_;
      storage_ = other.storage_;
      other.size_ = 0;
    }
    return *this;
  }
  NoteList& operator=(std::span<const Note> notes);
  NoteList& operator=(std::initializer_list<Note> notes) {
    return *this = std::span<const Note>(notes.begin(), notes.size());
  }
  ~NoteList() { Release(); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Note* data() { return IsInline() ? storage_.inline_ : Heap(); }
  const Note* data() const { return IsInline() ? storage_.inline_ : Heap(); }
  Note* begin() { return data(); }
  Note* end() { return data() + size_; }
  const Note* begin() const { return data(); }
  const Note* end() const { return data() + size_; }
  Note& operator[](std::size_t i) { return data()[i]; }
  const Note& operator[](std::size_t i) const { return data()[i]; }
  Note& front() { return data()[0]; }
  const Note& front() const { return data()[0]; }
  Note& back() { return data()[size_ - 1]; }
  const Note& back() const { return data()[size_ - 1]; }

  void push_back(const Note& note) {
    if (size_ < kInline) {
      // Field by field: a whole-Note copy of a Note just built from two 16-bit stores stalls on
      // store forwarding, and this is the reader's hottest line.
      Note& slot = storage_.inline_[size_++];
      slot.arrow = note.arrow;
      slot.kind = note.kind;
    } else {
      PushBackSlow(note);
    }
  }
  // Makes an empty list hold taps on the first `count` (at most two) of `first` and `second`,
  // both places written whatever the count: a step character's new Frame, without a branch.
  void AssignTaps(ArrowCode first, ArrowCode second, std::uint32_t count) {
    storage_.inline_[0] = Note{first, kTap};
    storage_.inline_[1] = Note{second, kTap};
    size_ = count;
  }
  void clear() {
    Release();
    size_ = 0;
  }

  friend bool operator==(const NoteList& a, const NoteList& b) { return Equal(a, b); }
  friend bool operator==(const NoteList& a, const std::vector<Note>& b) { return Equal(a, b); }

 private:
  static constexpr std::uint32_t kInline = 2;

  static bool Equal(std::span<const Note> a, std::span<const Note> b);
  // What a list of `size` Notes holds room for.
  static std::size_t Capacity(std::size_t size);
  bool IsInline() const { return size_ <= kInline; }
  Note* Heap() const {
    Note* block;
    std::memcpy(&block, storage_.heap_, sizeof block);
    return block;
  }
  void SetHeap(Note* block) { std::memcpy(storage_.heap_, &block, sizeof block); }
  // Replaces the contents; `notes` must not lie inside this list.
  void Assign(std::span<const Note> notes);
  // push_back past the Notes held in place.
  void PushBackSlow(const Note& note);
  void Release() {
    if (!IsInline()) delete[] Heap();
  }

  std::uint32_t size_ = 0;
  union Storage {
    Storage() : inline_{} {}
    Note inline_[kInline];
    unsigned char heap_[sizeof(Note*)];
  } storage_;
};

}  // namespace pavaneflow
