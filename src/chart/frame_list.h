#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <new>
#include <type_traits>
#include <vector>

#include "chart/block_pool.h"
#include "chart/chart_types.h"
#include "chart/frame.h"

namespace pavaneflow {

// The Frames of a Lane, strictly ascending by tick, kept in blocks of at most kBlockFrames, and
// the blocks in groups of at most kGroupBlocks.
//
// Charts are read front to back, so Frames are nearly always appended, and appending fills one
// block after the other without ever moving a Frame. A DOUBLE chart reads its second pad from
// tick 0 again, inserting between the Frames of the first: that moves at most one block's
// Frames and, when a block splits, one group's blocks, where one array would move every later
// Frame of the chart for each new tick. Whole blocks come from a pool of the list's own, so that
// millions of Frames cost few allocations and, where the system offers huge pages, few page
// faults.
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
  template <bool kConst>
  class Iterator {
    using Groups = std::conditional_t<kConst, const std::vector<Group>, std::vector<Group>>;

   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Frame;
    using difference_type = std::ptrdiff_t;
    using pointer = std::conditional_t<kConst, const Frame*, Frame*>;
    using reference = std::conditional_t<kConst, const Frame&, Frame&>;

    Iterator() = default;
    Iterator(Groups* groups, std::size_t group) : groups_(groups), group_(group) {}

    reference operator*() const { return (*groups_)[group_][block_].frames[index_]; }
    pointer operator->() const { return &**this; }
    Iterator& operator++() {
      const Group& group = (*groups_)[group_];
      if (++index_ == group[block_].size) {
        index_ = 0;
        if (++block_ == group.size()) {
          block_ = 0;
          ++group_;
        }
      }
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) {
      return a.group_ == b.group_ && a.block_ == b.block_ && a.index_ == b.index_;
    }

   private:
    Groups* groups_ = nullptr;
    std::size_t group_ = 0;
    std::size_t block_ = 0;
    std::size_t index_ = 0;
  };

 public:
  using value_type = Frame;
  using size_type = std::size_t;
  using iterator = Iterator<false>;
  using const_iterator = Iterator<true>;

  // 1 KiB of Frames. A DOUBLE chart, whose second pad inserts between the first pad's Frames,
  // moves half a block per insertion: 64 Frames read it about 1.6 times as fast as 256 did,
  // and a SINGLE chart no slower.
  static constexpr std::size_t kBlockFrames = 64;
  // A split block moves at most this many blocks of its group.
  static constexpr std::size_t kGroupBlocks = 256;
  // More beats than this before an appended Frame are not put in ahead: a gap that long comes
  // from a tick carried over from elsewhere, and its beats may never be wanted.
  static constexpr std::int64_t kMaxBeatsAhead = 1024;

  FrameList() = default;
  FrameList(const FrameList&) = delete;
  FrameList& operator=(const FrameList&) = delete;
  FrameList(FrameList&& other) noexcept;
  FrameList& operator=(FrameList&& other) noexcept;
  ~FrameList() { clear(); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  iterator begin() { return {&groups_, 0}; }
  iterator end() { return {&groups_, groups_.size()}; }
  const_iterator begin() const { return {&groups_, 0}; }
  const_iterator end() const { return {&groups_, groups_.size()}; }
  Frame& front() { return groups_.front().front().frames[0]; }
  const Frame& front() const { return groups_.front().front().frames[0]; }
  Frame& back() { return tail_->frames[tail_->size - 1]; }
  const Frame& back() const { return tail_->frames[tail_->size - 1]; }

  // The Frame at `tick`, inserted in tick order if there is none. The pointer stays valid until
  // the next Frame is inserted.
  Frame* Get(Tick tick) {
    // Charts are read front to back: the new tick is almost always past the end. The last
    // block is kept at hand: reaching it through the groups cost a chain of dependent loads
    // per step.
    if (tail_ != nullptr && tail_->frames[tail_->size - 1].tick < tick) {
      if (tick < nextBeat_ && tail_->size < tail_->capacity) {
        ++size_;
        return new (tail_->frames + tail_->size++) Frame(tick);
      }
      return Append(tick);
    }
    return GetSlow(tick);
  }
  // The Frame at `tick`, or null.
  const Frame* Find(Tick tick) const;
  // Appends a Frame at `tick`, which must lie past the last Frame.
  Frame& emplace_back(Tick tick) { return *Append(tick); }
  // Adds an empty Frame on every whole beat from tick 0 up to `endTick` (excluded) that has none.
  // Beats put in ahead (see PutBeatsAhead) at or past `endTick` go again, unless Get asked for
  // their tick.
  void AddBeats(Tick endTick);

  // For a list that AddBeats will complete: from now on, appending a Frame first appends the
  // beats before it, while the Frames are at hand, so that AddBeats needs no pass of its own
  // over them. Until AddBeats, the list may hold such beats that it will take back; a reader
  // interrupted before AddBeats calls DropBeatsAhead. Only an empty list starts this.
  void PutBeatsAhead();
  // Removes the beats put in ahead that AddBeats has not confirmed and Get did not ask for.
  void DropBeatsAhead() noexcept;
  void clear() noexcept;

 private:
  static constexpr std::int64_t kNoBeatAhead = INT64_MAX;

  // Where a block and a Frame in it are.
  struct Place {
    std::size_t group;
    std::size_t block;
  };

  // The last block if it has room, else a new one of kBlockFrames. The very first block starts at
  // `firstCapacity` and grows as a small Lane needs.
  Block& BlockToAppend(std::size_t firstCapacity);
  // A new block with room for `capacity` Frames, none constructed.
  Block NewBlock(std::size_t capacity);
  // Destroys the block's Frames and gives back its memory.
  void FreeBlock(Block& block) noexcept;
  // Moves the Frames of `block` into a new block of `capacity` (at least their number).
  void Regrow(Block& block, std::size_t capacity);
  Frame* GetSlow(Tick tick);
  // Appends a Frame at `tick`, past the last one, with the beats ahead of it.
  Frame* Append(Tick tick);
  // Append for any number of beats ahead and any room left.
  Frame* AppendWithBeats(Tick tick);
  // Appends a Frame at `tick`, past the last one, and nothing else.
  Frame* AppendFrame(Tick tick) {
    if (tail_ == nullptr || tail_->size == tail_->capacity) BlockToAppend(1);
    ++size_;
    return new (tail_->frames + tail_->size++) Frame(tick);
  }
  // Get asked for the Frame at `tick`: if it is a beat put in ahead, it now stays.
  void Keep(Tick tick) {
    if (tick >= 0 && tick % kTicksPerBeat == 0) {
      const auto beat = static_cast<std::size_t>(tick / kTicksPerBeat);
      if (beat / 64 < aheadBeats_.size())
        aheadBeats_[beat / 64] &= ~(std::uint64_t{1} << beat % 64);
    }
  }
  // Removes the beats put in ahead at `from` or later; ends putting beats ahead.
  void RemoveBeatsAhead(std::int64_t from) noexcept;
  // The block that holds `tick` or would hold it if inserted, looked for at `hint` and the block
  // after it first; there must be a block.
  Place BlockFor(Tick tick, Place hint) const;
  Frame* InsertInto(Place place, Tick tick);
  // Points tail_ at the last block again after the groups changed.
  void FindTail() { tail_ = groups_.empty() ? nullptr : &groups_.back().back(); }

  std::vector<Group> groups_;  // none empty, and no empty block in them
  std::size_t size_ = 0;
  // The last block, null when there is none.
  Block* tail_ = nullptr;
  // Where the last Frame was looked up for insertion; only a guess, checked before use.
  Place hint_{0, 0};
  // Putting beats ahead: every beat below nextBeat_ has a Frame, and nextBeat_ lies past the last
  // Frame. The largest value when beats are not put ahead.
  std::int64_t nextBeat_ = kNoBeatAhead;
  // One bit per beat (tick / kTicksPerBeat): its Frame was put in ahead, and nobody asked for it.
  std::vector<std::uint64_t> aheadBeats_;
  BlockPool pool_{kBlockFrames * sizeof(Frame)};
};

}  // namespace pavaneflow
