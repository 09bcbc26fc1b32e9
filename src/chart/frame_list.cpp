#include "chart/frame_list.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

namespace pavaneflow {

namespace {

bool TickBefore(const Frame& frame, Tick tick) {
  return frame.tick < tick;
}

}  // namespace

FrameList::FrameList(FrameList&& other) noexcept
    : groups_(std::move(other.groups_)),
      size_(std::exchange(other.size_, 0)),
      storedBeats_(std::exchange(other.storedBeats_, 0)),
      tail_(std::exchange(other.tail_, nullptr)),
      hint_(std::exchange(other.hint_, {0, 0})),
      beatsEnd_(std::exchange(other.beatsEnd_, 0)),
      pool_(std::move(other.pool_)) {
  // The blocks array of each group moves with its group, so tail_ still points into it.
  other.groups_.clear();
}

FrameList& FrameList::operator=(FrameList&& other) noexcept {
  if (this != &other) {
    clear();
    groups_ = std::move(other.groups_);
    other.groups_.clear();
    size_ = std::exchange(other.size_, 0);
    storedBeats_ = std::exchange(other.storedBeats_, 0);
    tail_ = std::exchange(other.tail_, nullptr);
    hint_ = std::exchange(other.hint_, {0, 0});
    beatsEnd_ = std::exchange(other.beatsEnd_, 0);
    pool_ = std::move(other.pool_);
  }
  return *this;
}

FrameList::Block FrameList::NewBlock(std::size_t capacity) {
  void* memory =
      capacity == kBlockFrames ? pool_.Allocate() : ::operator new(capacity * sizeof(Frame));
  return {static_cast<Frame*>(memory), 0, static_cast<std::uint32_t>(capacity)};
}

void FrameList::FreeBlock(Block& block) noexcept {
  if (block.frames == nullptr) return;
  std::destroy_n(block.frames, block.size);
  if (block.capacity == kBlockFrames) {
    pool_.Free(block.frames);
  } else {
    ::operator delete(block.frames);
  }
  block = {nullptr, 0, 0};
}

void FrameList::Regrow(Block& block, std::size_t capacity) {
  Block grown = NewBlock(capacity);
  std::uninitialized_move_n(block.frames, block.size, grown.frames);
  grown.size = block.size;
  FreeBlock(block);
  block = grown;
}

FrameList::Block& FrameList::BlockToAppend() {
  if (tail_ != nullptr) {
    if (tail_->size < tail_->capacity) return *tail_;
    if (tail_->capacity < kBlockFrames) {
      Regrow(*tail_, std::min<std::size_t>(2 * tail_->capacity, kBlockFrames));
      return *tail_;
    }
  }
  Block block = NewBlock(groups_.empty() ? 1 : kBlockFrames);
  try {
    if (groups_.empty() || groups_.back().size() == kGroupBlocks) {
      Group group;
      group.push_back(block);
      groups_.push_back(std::move(group));
    } else {
      groups_.back().push_back(block);
    }
  } catch (...) {
    FreeBlock(block);
    throw;
  }
  FindTail();
  return *tail_;
}

std::size_t FrameList::size() const {
  if (beatsEnd_ <= 0) return size_;
  const auto beats = static_cast<std::size_t>((beatsEnd_ - 1) / kTicksPerBeat + 1);
  return size_ + beats - (storedBeats_ - StoredBeatsFrom(beatsEnd_));
}

std::size_t FrameList::StoredBeatsFrom(std::int64_t from) const {
  // From the back: the Frames past the last beat are few, if any.
  std::size_t count = 0;
  for (auto group = groups_.rbegin(); group != groups_.rend(); ++group) {
    for (auto block = group->rbegin(); block != group->rend(); ++block) {
      for (std::uint32_t i = block->size; i-- > 0;) {
        const Tick tick = block->frames[i].tick;
        if (tick < from) return count;
        count += tick >= 0 && tick % kTicksPerBeat == 0;
      }
    }
  }
  return count;
}

Frame* FrameList::GetSlow(Tick tick) {
  if (tail_ == nullptr || LastStored().tick < tick) return AppendFrame(tick);
  if (LastStored().tick == tick) return &tail_->frames[tail_->size - 1];
  const Place place = BlockFor(tick, hint_);
  hint_ = place;
  const Block& block = groups_[place.group][place.block];
  Frame* it = std::lower_bound(block.frames, block.frames + block.size, tick, TickBefore);
  if (it != block.frames + block.size && it->tick == tick) return it;
  return InsertInto(place, tick);
}

bool FrameList::Contains(Tick tick) const {
  if (tick >= 0 && tick < beatsEnd_ && tick % kTicksPerBeat == 0) return true;
  if (groups_.empty()) return false;
  const Place place = BlockFor(tick, {0, 0});
  const Block& block = groups_[place.group][place.block];
  const Frame* it = std::lower_bound(block.frames, block.frames + block.size, tick, TickBefore);
  return it != block.frames + block.size && it->tick == tick;
}

void FrameList::clear() noexcept {
  for (Group& group : groups_) {
    for (Block& block : group) FreeBlock(block);
  }
  groups_.clear();
  size_ = 0;
  storedBeats_ = 0;
  tail_ = nullptr;
  hint_ = {0, 0};
  beatsEnd_ = 0;
  pool_.Release();
}

FrameList::Place FrameList::BlockFor(Tick tick, Place hint) const {
  // A second pad inserts its ticks in ascending order too: the block found last time, or the
  // one after it, nearly always holds the next tick, and looking there first spares a search
  // through memory that has long left the cache.
  for (Place place = hint; place.group < groups_.size();) {
    const Group& group = groups_[place.group];
    if (place.block >= group.size() || tick < group[place.block].frames[0].tick) break;
    Place next{place.group, place.block + 1};
    if (next.block == group.size()) next = {place.group + 1, 0};
    if (next.group == groups_.size() || tick < groups_[next.group][next.block].frames[0].tick) {
      return place;
    }
    if (place.group != hint.group || place.block != hint.block) break;
    place = next;
  }
  // The last group, then the last block in it, starting at or before `tick`; the first one for
  // a tick before them all.
  auto group = std::upper_bound(groups_.begin(), groups_.end(), tick, [](Tick t, const Group& g) {
    return t < g.front().frames[0].tick;
  });
  if (group != groups_.begin()) --group;
  auto block = std::upper_bound(group->begin(), group->end(), tick,
                                [](Tick t, const Block& b) { return t < b.frames[0].tick; });
  if (block != group->begin()) --block;
  return {static_cast<std::size_t>(group - groups_.begin()),
          static_cast<std::size_t>(block - group->begin())};
}

Frame* FrameList::InsertInto(Place place, Tick tick) {
  Block& full = groups_[place.group][place.block];
  if (full.size == full.capacity && full.capacity < kBlockFrames) {
    Regrow(full, std::min<std::size_t>(2 * full.capacity, kBlockFrames));
  } else if (full.size == full.capacity) {
    // Split the full block in two halves, and a full group likewise; then find the tick's block
    // again. The new block takes its place before any Frame moves, so that running out of
    // memory loses none.
    Group& group = groups_[place.group];
    const auto at = group.begin() + static_cast<std::ptrdiff_t>(place.block) + 1;
    Block upper = NewBlock(kBlockFrames);
    try {
      group.insert(at, upper);
    } catch (...) {
      FreeBlock(upper);
      throw;
    }
    Block& lower = group[place.block];
    Block& moved = group[place.block + 1];
    constexpr std::uint32_t kHalf = kBlockFrames / 2;
    std::uninitialized_move(lower.frames + kHalf, lower.frames + lower.size, moved.frames);
    moved.size = lower.size - kHalf;
    std::destroy(lower.frames + kHalf, lower.frames + lower.size);
    lower.size = kHalf;
    if (group.size() > kGroupBlocks) {
      const auto half = group.begin() + static_cast<std::ptrdiff_t>(group.size() / 2);
      Group next(half, group.end());
      groups_.insert(groups_.begin() + static_cast<std::ptrdiff_t>(place.group) + 1,
                     std::move(next));
      Group& first = groups_[place.group];
      first.erase(first.begin() + static_cast<std::ptrdiff_t>(first.size() / 2), first.end());
    }
    FindTail();
    place = BlockFor(tick, place);
  }
  Block& block = groups_[place.group][place.block];
  Frame* const last = block.frames + block.size;
  Frame* const it = std::lower_bound(block.frames, last, tick, TickBefore);
  if (it == last) {
    new (last) Frame(tick);
  } else {
    new (last) Frame(std::move(last[-1]));
    std::move_backward(it, last - 1, last);
    *it = Frame(tick);
  }
  ++block.size;
  CountStored(tick);
  ++size_;
  return it;
}

}  // namespace pavaneflow
