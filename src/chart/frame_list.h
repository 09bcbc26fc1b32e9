#pragma once

#include <cstddef>
#include <iterator>
#include <type_traits>
#include <vector>

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
// Frame of the chart for each new tick.
class FrameList {
  using Block = std::vector<Frame>;
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

    reference operator*() const { return (*groups_)[group_][block_][index_]; }
    pointer operator->() const { return &**this; }
    Iterator& operator++() {
      const Group& group = (*groups_)[group_];
      if (++index_ == group[block_].size()) {
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

  // 4 KiB of Frames. Larger blocks read a SINGLE chart no faster, and a DOUBLE chart, whose
  // second pad inserts between the first pad's Frames, moves half a block per insertion.
  static constexpr std::size_t kBlockFrames = 256;
  // A split block moves at most this many blocks of its group.
  static constexpr std::size_t kGroupBlocks = 256;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  iterator begin() { return {&groups_, 0}; }
  iterator end() { return {&groups_, groups_.size()}; }
  const_iterator begin() const { return {&groups_, 0}; }
  const_iterator end() const { return {&groups_, groups_.size()}; }
  Frame& front() { return groups_.front().front().front(); }
  const Frame& front() const { return groups_.front().front().front(); }
  Frame& back() { return groups_.back().back().back(); }
  const Frame& back() const { return groups_.back().back().back(); }

  // The Frame at `tick`, inserted in tick order if there is none. The pointer stays valid until
  // the next Frame is inserted.
  Frame* Get(Tick tick) {
    // Charts are read front to back: the new tick is almost always past the end, and the last
    // block has room.
    if (!groups_.empty()) {
      Block& last = groups_.back().back();
      if (last.back().tick < tick && last.size() < last.capacity() && last.size() < kBlockFrames) {
        ++size_;
        return &last.emplace_back(tick);
      }
    }
    return GetSlow(tick);
  }
  // The Frame at `tick`, or null.
  const Frame* Find(Tick tick) const;
  // Appends a Frame at `tick`, which must lie past the last Frame.
  Frame& emplace_back(Tick tick) {
    ++size_;
    return BlockToAppend(kBlockFrames).emplace_back(tick);
  }
  // Adds an empty Frame on every whole beat from tick 0 up to `endTick` (excluded) that has none.
  void AddBeats(Tick endTick);
  void clear();

 private:
  // Where a block and a Frame in it are.
  struct Place {
    std::size_t group;
    std::size_t block;
  };

  // The last block if it has room, else a new one for up to `blockSize` Frames. The very first
  // block grows as a small Lane needs.
  Block& BlockToAppend(std::size_t blockSize);
  Frame* GetSlow(Tick tick);
  // The block that holds `tick` or would hold it if inserted, looked for at `hint` and the block
  // after it first; there must be a block.
  Place BlockFor(Tick tick, Place hint) const;
  Frame* InsertInto(Place place, Tick tick);

  std::vector<Group> groups_;  // none empty, and no empty block in them
  std::size_t size_ = 0;
  // Where the last Frame was looked up for insertion; only a guess, checked before use.
  Place hint_{0, 0};
};

}  // namespace pavaneflow
