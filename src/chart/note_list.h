#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "chart/note.h"

namespace pavaneflow {

// The Notes of a Frame, in order. Nearly every Frame has one or two Notes, so two are held in
// place and only a Frame with more allocates: reading a chart costs no allocation per Frame,
// and a Frame stays 32 bytes.
class NoteList {
 public:
  using value_type = Note;
  using size_type = std::size_t;
  using iterator = Note*;
  using const_iterator = const Note*;

  NoteList() = default;
  NoteList(std::initializer_list<Note> notes) { Assign(notes); }
  NoteList(const NoteList& other) { Assign(other); }
  // Moves are bytewise, inline Notes and heap block alike, and leave `other` empty and inline:
  // Frames move often (vector growth, beat insertion), so they must be cheap and inlined.
  NoteList(NoteList&& other) noexcept
      : size_(other.size_), capacity_(other.capacity_), storage_(other.storage_) {
    other.size_ = 0;
    other.capacity_ = kInline;
  }
  NoteList& operator=(const NoteList& other);
  NoteList& operator=(NoteList&& other) noexcept {
    if (this != &other) {
      Release();
      size_ = other.size_;
      capacity_ = other.capacity_;
      storage_ = other.storage_;
      other.size_ = 0;
      other.capacity_ = kInline;
    }
    return *this;
  }
  NoteList& operator=(std::span<const Note> notes);
  NoteList& operator=(std::initializer_list<Note> notes) { return *this = std::span(notes); }
  ~NoteList() { Release(); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Note* data() { return IsInline() ? storage_.inline_ : storage_.heap_; }
  const Note* data() const { return IsInline() ? storage_.inline_ : storage_.heap_; }
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
    if (size_ == capacity_) {
      Grow(note);
    } else {
      // Field by field: a whole-Note copy of a Note just built from a 16-bit and a 32-bit
      // store stalls on store forwarding, and this is the reader's hottest line.
      Note& slot = data()[size_++];
      slot.arrow = note.arrow;
      slot.kind = note.kind;
    }
  }
  void clear() { size_ = 0; }

  friend bool operator==(const NoteList& a, const NoteList& b) { return Equal(a, b); }
  friend bool operator==(const NoteList& a, const std::vector<Note>& b) { return Equal(a, b); }

 private:
  static constexpr std::uint32_t kInline = 2;

  static bool Equal(std::span<const Note> a, std::span<const Note> b);
  bool IsInline() const { return capacity_ == kInline; }
  // Replaces the contents; `notes` must not lie inside this list.
  void Assign(std::span<const Note> notes);
  void Reserve(std::size_t capacity);
  // push_back into a full list.
  void Grow(const Note& note);
  void Release() {
    if (!IsInline()) delete[] storage_.heap_;
    capacity_ = kInline;
  }

  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = kInline;
  union Storage {
    Storage() : inline_{} {}
    Note inline_[kInline];
    Note* heap_;
  } storage_;
};

}  // namespace pavaneflow
