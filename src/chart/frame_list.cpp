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
bool TickAfter(Tick tick, const std::vector<Frame>& block) {
  return tick < block.front().tick;
}

}  // namespace

Frame& FrameList::Append(Frame&& frame) {
  // The first block grows as a small Lane needs; later ones are whole blocks at once.
  if (blocks_.empty() || blocks_.back().size() == kBlockFrames) {
    blocks_.emplace_back();
    if (blocks_.size() > 1) blocks_.back().reserve(kBlockFrames);
  }
  ++size_;
  return blocks_.back().emplace_back(std::move(frame));
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
  std::vector<Block> old = std::exchange(blocks_, {});
  Block* out = nullptr;
  std::size_t count = 0;
  auto put = [&](Frame&& frame) {
    if (out == nullptr || out->size() == blockSize) {
      out = &blocks_.emplace_back();
      out->reserve(blockSize);
    }
    out->push_back(std::move(frame));
    ++count;
  };

  std::int64_t beat = 0;
  for (Block& block : old) {
    for (Frame& frame : block) {
      for (; beat < end && beat < frame.tick; beat += kTicksPerBeat) {
        put(Frame(static_cast<Tick>(beat)));
      }
      if (beat < end && beat == frame.tick) beat += kTicksPerBeat;
      put(std::move(frame));
    }
    Block().swap(block);
  }
  for (; beat < end; beat += kTicksPerBeat) put(Frame(static_cast<Tick>(beat)));
  size_ = count;
}

Frame* FrameList::GetSlow(Tick tick) {
  if (blocks_.empty() || back().tick < tick) return &emplace_back(tick);
  if (back().tick == tick) return &back();
  const std::size_t block = BlockFor(tick);
  Block& frames = blocks_[block];
  auto it = std::lower_bound(frames.begin(), frames.end(), tick, TickBefore);
  if (it != frames.end() && it->tick == tick) return &*it;
  return InsertInto(block, tick);
}

const Frame* FrameList::Find(Tick tick) const {
  if (blocks_.empty()) return nullptr;
  const Block& frames = blocks_[BlockFor(tick)];
  auto it = std::lower_bound(frames.begin(), frames.end(), tick, TickBefore);
  if (it == frames.end() || it->tick != tick) return nullptr;
  return &*it;
}

void FrameList::clear() {
  blocks_.clear();
  size_ = 0;
}

std::size_t FrameList::BlockFor(Tick tick) const {
  // The last block starting at or before `tick`; the first one for a tick before them all.
  auto after = std::upper_bound(blocks_.begin(), blocks_.end(), tick, TickAfter);
  return after == blocks_.begin() ? 0 : static_cast<std::size_t>(after - blocks_.begin()) - 1;
}

Frame* FrameList::InsertInto(std::size_t block, Tick tick) {
  if (blocks_[block].size() == kBlockFrames) {
    // Split the full block in two halves and insert into the one the tick belongs to.
    Block upper;
    upper.reserve(kBlockFrames);
    Block& lower = blocks_[block];
    const auto middle = lower.begin() + kBlockFrames / 2;
    upper.assign(std::make_move_iterator(middle), std::make_move_iterator(lower.end()));
    lower.erase(middle, lower.end());
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(upper));
    if (blocks_[block + 1].front().tick < tick) ++block;
  }
  Block& frames = blocks_[block];
  auto it = std::lower_bound(frames.begin(), frames.end(), tick, TickBefore);
  ++size_;
  return &*frames.emplace(it, tick);
}

}  // namespace pavaneflow
