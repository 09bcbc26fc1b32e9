#pragma once

#include <cstddef>
#include <iterator>
#include <type_traits>
#include <vector>

#include "chart/chart_types.h"
#include "chart/frame.h"

namespace pavaneflow {

// The Frames of a Lane, strictly ascending by tick, kept in blocks of at most kBlockFrames.
//
// Charts are read front to back, so Frames are nearly always appended, and appending fills one
// block after the other without ever moving a Frame. A DOUBLE chart reads its second pad from
// tick 0 again, inserting between the Frames of the first: that moves at most one block's
// Frames, where one array would move every later Frame of the chart for each new tick.
class FrameList {
  using Block = std::vector<Frame>;

  template <bool kConst>
  class Iterator {
    using Blocks = std::conditional_t<kConst, const std::vector<Block>, std::vector<Block>>;

   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Frame;
    using difference_type = std::ptrdiff_t;
    using pointer = std::conditional_t<kConst, const Frame*, Frame*>;
    using reference = std::conditional_t<kConst, const Frame&, Frame&>;

    Iterator() = default;
    Iterator(Blocks* blocks, std::size_t block, std::size_t index)
        : blocks_(blocks), block_(block), index_(index) {}

    reference operator*() const { return (*blocks_)[block_][index_]; }
    pointer operator->() const { return &**this; }
    Iterator& operator++() {
      if (++index_ == (*blocks_)[block_].size()) {
        ++block_;
        index_ = 0;
      }
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) {
      return a.block_ == b.block_ && a.index_ == b.index_;
    }

   private:
    Blocks* blocks_ = nullptr;
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

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  iterator begin() { return {&blocks_, 0, 0}; }
  iterator end() { return {&blocks_, blocks_.size(), 0}; }
  const_iterator begin() const { return {&blocks_, 0, 0}; }
  const_iterator end() const { return {&blocks_, blocks_.size(), 0}; }
  Frame& front() { return blocks_.front().front(); }
  const Frame& front() const { return blocks_.front().front(); }
  Frame& back() { return blocks_.back().back(); }
  const Frame& back() const { return blocks_.back().back(); }

  // The Frame at `tick`, inserted in tick order if there is none. The pointer stays valid until
  // the next Frame is inserted.
  Frame* Get(Tick tick) {
    // Charts are read front to back: the new tick is almost always past the end, and the last
    // block has room.
    if (!blocks_.empty()) {
      Block& last = blocks_.back();
      if (last.back().tick < tick && last.size() < last.capacity()) {
        ++size_;
        return &last.emplace_back(tick);
      }
    }
    return GetSlow(tick);
  }
  // The Frame at `tick`, or null.
  const Frame* Find(Tick tick) const;
  // Appends a Frame at `tick`, which must lie past the last Frame.
  Frame& emplace_back(Tick tick) { return Append(Frame(tick)); }
  // Adds an empty Frame on every whole beat from tick 0 up to `endTick` (excluded) that has none.
  void AddBeats(Tick endTick);
  void clear();

 private:
  Frame& Append(Frame&& frame);
  Frame* GetSlow(Tick tick);
  // The block that holds `tick` or would hold it if inserted; blocks_ must not be empty.
  std::size_t BlockFor(Tick tick) const;
  Frame* InsertInto(std::size_t block, Tick tick);

  std::vector<Block> blocks_;  // none empty
  std::size_t size_ = 0;
};

}  // namespace pavaneflow
