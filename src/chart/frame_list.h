#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <new>
#include <vector>

#include "chart/block_pool.h"
#include "chart/chart_types.h"
#include "chart/frame.h"

namespace pavaneflow {

// The Frames of a Lane, strictly ascending by tick: those asked for, kept in blocks of at most
// kBlockFrames, the blocks in groups of at most kGroupBlocks, and the beat Frames of AddBeats.
//
// Charts are read front to back, so Frames are nearly always appended, and appending fills one
// block after the other without ever moving a Frame. A DOUBLE chart reads its second pad from
// tick 0 again, inserting between the Frames of the first: that moves at most one block's
// Frames and, when a block splits, one group's blocks, where one array would move every later
// Frame of the chart for each new tick. Whole blocks come from a pool of the list's own, so that
// millions of Frames cost few allocations and, where the system offers huge pages, few page
// faults.
//
// A beat Frame that nobody asked for has no Notes and nothing else but its tick, so it is not
// stored: the list remembers up to where beats were added, and iterating yields each such beat
// between the stored Frames. A third of a typical chart's Frames are such beats.
class FrameList {
  // `capacity` Frames at `frames`, the first `size` of them constructed. Only the first block
  // of a list may be smaller than kBlockFrames (it grows as a small Lane needs, from the heap);
  // full-size blocks come from the pool.
  struct Block {
    Frame* frames;
    std::uint32_t size;
    std::uint32_t capacity;
  };
  using Group = std::vector<Block>;
  static constexpr std::int64_t kNoBeat = INT64_MAX;

 public:
  // Visits the stored Frames and the beats merged in tick order. A beat Frame lives in the
  // iterator: a reference to it lasts until the iterator moves on.
  class const_iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = Frame;
    using difference_type = std::ptrdiff_t;
    using pointer = const Frame*;
    using reference = const Frame&;

    const_iterator() = default;
    // At the first Frame of `groups` from stored position `group` on, with beats below
    // `beatsEnd` (none when at the end).
    const_iterator(const std::vector<Group>* groups, std::size_t group, std::int64_t beatsEnd)
        : groups_(groups), group_(group), beatsEnd_(beatsEnd) {
      SetBeat(beatsEnd > 0 ? 0 : kNoBeat);
    }

    reference operator*() const { return next_ < StoredTick() ? beat_ : Stored(); }
    pointer operator->() const { return &**this; }
    const_iterator& operator++() {
      if (next_ < StoredTick()) {
        SetBeat(next_ + kTicksPerBeat);
      } else {
        const Group& group = (*groups_)[group_];
        if (++index_ == group[block_].size) {
          index_ = 0;
          if (++block_ == group.size()) {
            block_ = 0;
            ++group_;
          }
        }
        SkipStoredBeat();
      }
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) {
      return a.group_ == b.group_ && a.block_ == b.block_ && a.index_ == b.index_ &&
             a.next_ == b.next_;
    }

   private:
    const Frame& Stored() const { return (*groups_)[group_][block_].frames[index_]; }
    std::int64_t StoredTick() const {
      return group_ < groups_->size() ? std::int64_t{Stored().tick} : kNoBeat;
    }
    // The next beat is `beat`, unless it lies at or past the end, or a stored Frame stands on it.
    void SetBeat(std::int64_t beat) {
      next_ = beat < beatsEnd_ ? beat : kNoBeat;
      SkipStoredBeat();
    }
    void SkipStoredBeat() {
      if (next_ != kNoBeat && next_ == StoredTick()) {
        next_ = next_ + kTicksPerBeat < beatsEnd_ ? next_ + kTicksPerBeat : kNoBeat;
      }
      beat_.tick = static_cast<Tick>(next_);
    }

    const std::vector<Group>* groups_ = nullptr;
    std::size_t group_ = 0;
    std::size_t block_ = 0;
    std::size_t index_ = 0;
    std::int64_t beatsEnd_ = 0;
    // The next beat not stored, kNoBeat when none is left.
    std::int64_t next_ = kNoBeat;
    Frame beat_;
  };
  using value_type = Frame;
  using size_type = std::size_t;
  using iterator = const_iterator;

  // 1 KiB of Frames. A DOUBLE chart, whose second pad inserts between the first pad's Frames,
  // moves half a block per insertion: 64 Frames read it about 1.6 times as fast as 256 did,
  // and a SINGLE chart no slower.
  static constexpr std::size_t kBlockFrames = 64;
  // A split block moves at most this many blocks of its group.
  static constexpr std::size_t kGroupBlocks = 256;

  FrameList() = default;
  FrameList(const FrameList&) = delete;
  FrameList& operator=(const FrameList&) = delete;
  FrameList(FrameList&& other) noexcept;
  FrameList& operator=(FrameList&& other) noexcept;
  ~FrameList() { clear(); }

  // All Frames, beats included. Costs a look at each stored Frame past the last beat.
  std::size_t size() const;
  bool empty() const { return size_ == 0 && beatsEnd_ <= 0; }
  const_iterator begin() const { return {&groups_, 0, beatsEnd_}; }
  const_iterator end() const { return {&groups_, groups_.size(), 0}; }

  // The Frame at `tick`, inserted in tick order if there is none (a beat becomes a stored
  // Frame). The pointer stays valid until the next Frame is inserted.
  Frame* Get(Tick tick) {
    // Charts are read front to back: the new tick is almost always past the end. The last
    // block is kept at hand: reaching it through the groups cost a chain of dependent loads
    // per step.
    if (tail_ != nullptr && tail_->frames[tail_->size - 1].tick < tick &&
        tail_->size < tail_->capacity) {
      CountStored(tick);
      ++size_;
      return new (tail_->frames + tail_->size++) Frame(tick);
    }
    return GetSlow(tick);
  }
  // Whether there is a Frame at `tick`, beats included.
  bool Contains(Tick tick) const;
  // Appends a Frame at `tick`, which must lie past every stored Frame.
  Frame& emplace_back(Tick tick) { return *AppendFrame(tick); }
  // Adds an empty Frame on every whole beat from tick 0 up to `endTick` (excluded) that has none.
  void AddBeats(Tick endTick) {
    if (endTick > beatsEnd_) beatsEnd_ = endTick;
  }
  void clear() noexcept;

 private:
  // Where a block is.
  struct Place {
    std::size_t group;
    std::size_t block;
  };

  // Keeps count of the stored Frames on beats: size() needs it.
  void CountStored(Tick tick) { storedBeats_ += tick >= 0 && tick % kTicksPerBeat == 0; }
  // The last block if it has room, else a new one of kBlockFrames. The very first block starts at
  // one Frame and grows as a small Lane needs.
  Block& BlockToAppend();
  // A new block with room for `capacity` Frames, none constructed.
  Block NewBlock(std::size_t capacity);
  // Destroys the block's Frames and gives back its memory.
  void FreeBlock(Block& block) noexcept;
  // Moves the Frames of `block` into a new block of `capacity` (at least their number).
  void Regrow(Block& block, std::size_t capacity);
  Frame* GetSlow(Tick tick);
  // Appends a stored Frame at `tick`, past the last one.
  Frame* AppendFrame(Tick tick) {
    if (tail_ == nullptr || tail_->size == tail_->capacity) BlockToAppend();
    CountStored(tick);
    ++size_;
    return new (tail_->frames + tail_->size++) Frame(tick);
  }
  // How many stored Frames lie on a beat at or past `from` (not before 0).
  std::size_t StoredBeatsFrom(std::int64_t from) const;
  const Frame& LastStored() const { return tail_->frames[tail_->size - 1]; }
  // The block that holds `tick` or would hold it if inserted, looked for at `hint` and the block
  // after it first; there must be a block.
  Place BlockFor(Tick tick, Place hint) const;
  Frame* InsertInto(Place place, Tick tick);
  // Points tail_ at the last block again after the groups changed.
  void FindTail() { tail_ = groups_.empty() ? nullptr : &groups_.back().back(); }

  std::vector<Group> groups_;  // none empty, and no empty block in them
  // Stored Frames, and those of them on a beat at or after tick 0.
  std::size_t size_ = 0;
  std::size_t storedBeats_ = 0;
  // The last block, null when there is none.
  Block* tail_ = nullptr;
  // Where the last Frame was looked up for insertion; only a guess, checked before use.
  Place hint_{0, 0};
  // Every beat below this tick has a Frame, stored or not.
  std::int64_t beatsEnd_ = 0;
  BlockPool pool_{kBlockFrames * sizeof(Frame)};
};

}  // namespace pavaneflow
