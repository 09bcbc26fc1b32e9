#include "chart/frame_list.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <span>
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
      tail_(std::exchange(other.tail_, nullptr)),
      hint_(std::exchange(other.hint_, {0, 0})),
      nextBeat_(std::exchange(other.nextBeat_, kNoBeatAhead)),
      aheadBeats_(std::exchange(other.aheadBeats_, {})),
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
    tail_ = std::exchange(other.tail_, nullptr);
    hint_ = std::exchange(other.hint_, {0, 0});
    pool_ = std::move(other.pool_);
    nextBeat_ = std::exchange(other.nextBeat_, kNoBeatAhead);
    aheadBeats_ = std::exchange(other.aheadBeats_, {});
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

FrameList::Block& FrameList::BlockToAppend(std::size_t firstCapacity) {
  if (tail_ != nullptr) {
    if (tail_->size < tail_->capacity) return *tail_;
    if (tail_->capacity < kBlockFrames) {
      Regrow(*tail_, std::min<std::size_t>(2 * tail_->capacity, kBlockFrames));
      return *tail_;
    }
  }
  Block block = NewBlock(groups_.empty() ? firstCapacity : kBlockFrames);
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

void FrameList::PutBeatsAhead() {
  if (!empty()) return;
  nextBeat_ = 0;
  aheadBeats_.clear();
}

void FrameList::DropBeatsAhead() noexcept {
  RemoveBeatsAhead(INT64_MIN);
}

void FrameList::AddBeats(Tick endTick) {
  if (nextBeat_ != kNoBeatAhead && !empty() && endTick >= back().tick) {
    // Every beat put in ahead lies before the last Frame and so before `endTick`: all of them
    // stay, and the beats still missing all lie past the last Frame.
    std::int64_t beat = std::exchange(nextBeat_, kNoBeatAhead);
    aheadBeats_ = {};
    for (; beat < endTick; beat += kTicksPerBeat) AppendFrame(static_cast<Tick>(beat));
    return;
  }
  RemoveBeatsAhead(endTick);
  if (endTick <= 0) return;
  // One pass that moves the Frames into fresh blocks with the beats between them. Each block
  // goes back to the pool as soon as it is emptied, so the new blocks reuse its memory. The beat
  // counter is 64-bit: a 32-bit one would overflow before passing an end tick near the top of
  // the range.
  const std::int64_t end = endTick;
  const auto beats = static_cast<std::size_t>((end + kTicksPerBeat - 1) / kTicksPerBeat);
  // A small Lane gets one block of the size it needs at most, a large one whole blocks.
  const std::size_t firstCapacity = std::min(kBlockFrames, size_ + beats);
  std::vector<Group> old = std::exchange(groups_, {});
  size_ = 0;
  tail_ = nullptr;
  hint_ = {0, 0};
  // Should memory run out on the way, the Frames not yet moved go with their blocks.
  struct Leftover {
    FrameList& list;
    std::vector<Group>& groups;
    ~Leftover() {
      for (Group& group : groups) {
        for (Block& block : group) list.FreeBlock(block);
      }
    }
  } leftover{*this, old};
  auto put = [&](Frame&& frame) {
    Block& block = BlockToAppend(firstCapacity);
    new (block.frames + block.size) Frame(std::move(frame));
    ++block.size;
    ++size_;
  };

  std::int64_t beat = 0;
  for (Group& group : old) {
    for (Block& block : group) {
      for (Frame& frame : std::span(block.frames, block.size)) {
        for (; beat < end && beat < frame.tick; beat += kTicksPerBeat) {
          put(Frame(static_cast<Tick>(beat)));
        }
        if (beat < end && beat == frame.tick) beat += kTicksPerBeat;
        put(std::move(frame));
      }
      FreeBlock(block);
    }
  }
  for (; beat < end; beat += kTicksPerBeat) put(Frame(static_cast<Tick>(beat)));
}

Frame* FrameList::Append(Tick tick) {
  // Nearly always one beat lies before the new Frame, and the last block has room for both:
  // they go in together, without the checks and the loop of the general case.
  if (nextBeat_ < tick && tick - nextBeat_ <= kTicksPerBeat && tail_ != nullptr &&
      tail_->capacity - tail_->size >= 2) {
    const auto beat = static_cast<std::size_t>(nextBeat_ / kTicksPerBeat);
    if (beat / 64 < aheadBeats_.size()) {
      aheadBeats_[beat / 64] |= std::uint64_t{1} << beat % 64;
      Frame* const out = tail_->frames + tail_->size;
      new (out) Frame(static_cast<Tick>(nextBeat_));
      new (out + 1) Frame(tick);
      tail_->size += 2;
      size_ += 2;
      nextBeat_ += tick == nextBeat_ + kTicksPerBeat ? 2 * kTicksPerBeat : kTicksPerBeat;
      return out + 1;
    }
  }
  return AppendWithBeats(tick);
}

Frame* FrameList::AppendWithBeats(Tick tick) {
  if (nextBeat_ < tick) {
    if (tick - nextBeat_ > kMaxBeatsAhead * kTicksPerBeat) {
      // Too many beats to be sure they will be wanted; those already put in ahead are settled
      // by AddBeats.
      nextBeat_ = kNoBeatAhead;
    } else {
      const auto lastBeat = static_cast<std::size_t>((tick - 1) / kTicksPerBeat);
      if (lastBeat / 64 >= aheadBeats_.size()) aheadBeats_.resize(lastBeat / 64 + 1);
      auto beat = static_cast<std::size_t>(nextBeat_ / kTicksPerBeat);
      for (; nextBeat_ < tick; nextBeat_ += kTicksPerBeat, ++beat) {
        AppendFrame(static_cast<Tick>(nextBeat_));
        aheadBeats_[beat / 64] |= std::uint64_t{1} << beat % 64;
      }
    }
  }
  Frame* frame = AppendFrame(tick);
  if (nextBeat_ == tick) nextBeat_ += kTicksPerBeat;
  return frame;
}

void FrameList::RemoveBeatsAhead(std::int64_t from) noexcept {
  nextBeat_ = kNoBeatAhead;
  if (aheadBeats_.empty()) return;
  auto ahead = [this, from](const Frame& frame) {
    if (frame.tick < from || frame.tick < 0 || frame.tick % kTicksPerBeat != 0) return false;
    const auto beat = static_cast<std::size_t>(frame.tick / kTicksPerBeat);
    return beat / 64 < aheadBeats_.size() && (aheadBeats_[beat / 64] >> beat % 64 & 1) != 0;
  };
  for (Group& group : groups_) {
    for (Block& block : group) {
      Frame* const end = block.frames + block.size;
      if (end[-1].tick < from) continue;
      Frame* const kept = std::remove_if(block.frames, end, ahead);
      std::destroy(kept, end);
      const auto count = static_cast<std::uint32_t>(kept - block.frames);
      size_ -= block.size - count;
      block.size = count;
      if (count == 0) FreeBlock(block);
    }
    std::erase_if(group, [](const Block& block) { return block.frames == nullptr; });
  }
  std::erase_if(groups_, [](const Group& group) { return group.empty(); });
  aheadBeats_ = {};
  hint_ = {0, 0};
  FindTail();
}

Frame* FrameList::GetSlow(Tick tick) {
  if (groups_.empty() || back().tick < tick) return Append(tick);
  Keep(tick);
  if (back().tick == tick) return &back();
  const Place place = BlockFor(tick, hint_);
  hint_ = place;
  const Block& block = groups_[place.group][place.block];
  Frame* it = std::lower_bound(block.frames, block.frames + block.size, tick, TickBefore);
  if (it != block.frames + block.size && it->tick == tick) return it;
  return InsertInto(place, tick);
}

const Frame* FrameList::Find(Tick tick) const {
  if (groups_.empty()) return nullptr;
  const Place place = BlockFor(tick, {0, 0});
  const Block& block = groups_[place.group][place.block];
  const Frame* it = std::lower_bound(block.frames, block.frames + block.size, tick, TickBefore);
  if (it == block.frames + block.size || it->tick != tick) return nullptr;
  return it;
}

void FrameList::clear() noexcept {
  for (Group& group : groups_) {
    for (Block& block : group) FreeBlock(block);
  }
  groups_.clear();
  size_ = 0;
  tail_ = nullptr;
  hint_ = {0, 0};
  nextBeat_ = kNoBeatAhead;
  aheadBeats_ = {};
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
  ++size_;
  return it;
}

}  // namespace pavaneflow
