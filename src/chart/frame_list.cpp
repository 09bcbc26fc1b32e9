#include "chart/frame_list.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace pavaneflow {

namespace {

bool TickBefore(const Frame& frame, Tick tick) {
  return frame.tick < tick;
}
bool TickAfterBlock(Tick tick, const std::vector<Frame>& block) {
  return tick < block.front().tick;
}
bool TickAfterGroup(Tick tick, const std::vector<std::vector<Frame>>& group) {
  return tick < group.front().front().tick;
}

}  // namespace

FrameList::Block& FrameList::BlockToAppend(std::size_t blockSize) {
  if (groups_.empty()) return groups_.emplace_back().emplace_back();
  Block& last = groups_.back().back();
  if (last.size() < blockSize) return last;
  if (groups_.back().size() == kGroupBlocks) groups_.emplace_back();
  Block& block = groups_.back().emplace_back();
  block.reserve(blockSize);
  return block;
}

void FrameList::AddBeats(Tick endTick) {
  if (endTick <= 0) return;
  // One pass that moves the Frames into fresh blocks with the beats between them. Each block
  // is freed as soon as it is emptied, so the new blocks reuse its memory. The beat counter is
  // 64-bit: a 32-bit one would overflow before passing an end tick near the top of the range.
  const std::int64_t end = endTick;
  const auto beats = static_cast<std::size_t>((end + kTicksPerBeat - 1) / kTicksPerBeat);
  // A small Lane gets one block of the size it needs at most, a large one whole blocks.
  const std::size_t blockSize = std::min(kBlockFrames, size_ + beats);
  std::vector<Group> old = std::exchange(groups_, {});
  std::size_t count = 0;
  Block* out = nullptr;
  auto put = [&](Frame&& frame) {
    if (out == nullptr || out->size() == blockSize) {
      out = &BlockToAppend(blockSize);
      if (out->capacity() < blockSize) out->reserve(blockSize);
    }
    out->push_back(std::move(frame));
    ++count;
  };

  std::int64_t beat = 0;
  for (Group& group : old) {
    for (Block& block : group) {
      for (Frame& frame : block) {
        for (; beat < end && beat < frame.tick; beat += kTicksPerBeat) {
          put(Frame(static_cast<Tick>(beat)));
        }
        if (beat < end && beat == frame.tick) beat += kTicksPerBeat;
        put(std::move(frame));
      }
      Block().swap(block);
    }
  }
  for (; beat < end; beat += kTicksPerBeat) put(Frame(static_cast<Tick>(beat)));
  size_ = count;
}

Frame* FrameList::GetSlow(Tick tick) {
  if (groups_.empty() || back().tick < tick) return &emplace_back(tick);
  if (back().tick == tick) return &back();
  const Place place = BlockFor(tick, hint_);
  hint_ = place;
  Block& frames = groups_[place.group][place.block];
  auto it = std::lower_bound(frames.begin(), frames.end(), tick, TickBefore);
  if (it != frames.end() && it->tick == tick) return &*it;
  return InsertInto(place, tick);
}

const Frame* FrameList::Find(Tick tick) const {
  if (groups_.empty()) return nullptr;
  const Place place = BlockFor(tick, {});
  const Block& frames = groups_[place.group][place.block];
  auto it = std::lower_bound(frames.begin(), frames.end(), tick, TickBefore);
  if (it == frames.end() || it->tick != tick) return nullptr;
  return &*it;
}

void FrameList::clear() {
  groups_.clear();
  size_ = 0;
}

FrameList::Place FrameList::BlockFor(Tick tick, Place hint) const {
  // A second pad inserts its ticks in ascending order too: the block found last time, or the
  // one after it, nearly always holds the next tick, and looking there first spares a search
  // through memory that has long left the cache.
  for (Place place = hint; place.group < groups_.size();) {
    const Group& group = groups_[place.group];
    if (place.block >= group.size() || tick < group[place.block].front().tick) break;
    Place next{place.group, place.block + 1};
    if (next.block == group.size()) next = {place.group + 1, 0};
    if (next.group == groups_.size() || tick < groups_[next.group][next.block].front().tick) {
      return place;
    }
    if (place.group != hint.group || place.block != hint.block) break;
    place = next;
  }
  // The last group, then the last block in it, starting at or before `tick`; the first one for
  // a tick before them all.
  auto group = std::upper_bound(groups_.begin(), groups_.end(), tick, TickAfterGroup);
  if (group != groups_.begin()) --group;
  auto block = std::upper_bound(group->begin(), group->end(), tick, TickAfterBlock);
  if (block != group->begin()) --block;
  return {static_cast<std::size_t>(group - groups_.begin()),
          static_cast<std::size_t>(block - group->begin())};
}

Frame* FrameList::InsertInto(Place place, Tick tick) {
  if (groups_[place.group][place.block].size() == kBlockFrames) {
    // Split the full block in two halves, and a full group likewise; then find the tick's block
    // again.
    Group& group = groups_[place.group];
    Block& lower = group[place.block];
    Block upper;
    upper.reserve(kBlockFrames);
    const auto middle = lower.begin() + kBlockFrames / 2;
    upper.assign(std::make_move_iterator(middle), std::make_move_iterator(lower.end()));
    lower.erase(middle, lower.end());
    group.insert(group.begin() + static_cast<std::ptrdiff_t>(place.block) + 1, std::move(upper));
    if (group.size() > kGroupBlocks) {
      const auto half = group.begin() + static_cast<std::ptrdiff_t>(group.size() / 2);
      Group next(std::make_move_iterator(half), std::make_move_iterator(group.end()));
      group.erase(half, group.end());
      groups_.insert(groups_.begin() + static_cast<std::ptrdiff_t>(place.group) + 1,
                     std::move(next));
    }
    place = BlockFor(tick, place);
  }
  Block& frames = groups_[place.group][place.block];
  auto it = std::lower_bound(frames.begin(), frames.end(), tick, TickBefore);
  ++size_;
  return &*frames.emplace(it, tick);
}

}  // namespace pavaneflow
