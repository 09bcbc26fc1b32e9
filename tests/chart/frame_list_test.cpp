// FrameList against a sorted set: inserting in any order, across block and group splits, must keep
// one Frame per tick in ascending order, and every Frame must keep its Notes when blocks split.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <set>
#include <vector>

#include "chart/frame_list.h"

namespace pavaneflow {
namespace {

std::vector<Tick> Ascending(int count, Tick from, Tick step) {
  std::vector<Tick> ticks;
  for (int i = 0; i < count; ++i) ticks.push_back(from + i * step);
  return ticks;
}

TEST(FrameList, InsertionInAnyOrderKeepsOneFramePerTickInOrder) {
  // Enough Frames to split groups of blocks, not only blocks.
  constexpr int kMany = static_cast<int>(3 * FrameList::kBlockFrames * FrameList::kGroupBlocks / 2);
  struct Case {
    const char* name;
    std::function<std::vector<Tick>()> ticks;
  };
  const Case cases[] = {
      {"ascending", [] { return Ascending(kMany, 0, 24); }},
      {"descending", [] { return Ascending(kMany, kMany * 24, -24); }},
      {"second pad between the first's Frames",
       [] {
         std::vector<Tick> ticks = Ascending(kMany, 0, 48);
         const std::vector<Tick> second = Ascending(kMany, 24, 48);
         ticks.insert(ticks.end(), second.begin(), second.end());
         return ticks;
       }},
      {"second pass on the same ticks",
       [] {
         std::vector<Tick> ticks = Ascending(kMany, 0, 24);
         const std::vector<Tick> again = ticks;
         ticks.insert(ticks.end(), again.begin(), again.end());
         return ticks;
       }},
      {"random with repeats and the extremes",
       [] {
         std::mt19937 random(7);
         std::uniform_int_distribution<Tick> tick(-kMany, kMany);
         std::vector<Tick> ticks{INT32_MIN, INT32_MAX};
         for (int i = 0; i < kMany; ++i) ticks.push_back(tick(random));
         return ticks;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FrameList frames;
    std::set<Tick> expected;
    for (Tick t : c.ticks()) {
      Frame* frame = frames.Get(t);
      ASSERT_EQ(frame->tick, t);
      // Each Frame remembers its tick in a Note, to show that Notes move with their Frame.
      if (expected.insert(t).second) frame->notes.push_back(Note{static_cast<ArrowCode>(t)});
    }
    ASSERT_EQ(frames.size(), expected.size());
    auto want = expected.begin();
    for (const Frame& frame : frames) {
      ASSERT_EQ(frame.tick, *want++);
      ASSERT_EQ(frame.notes.size(), 1u);
      ASSERT_EQ(frame.notes[0].arrow, static_cast<ArrowCode>(frame.tick));
    }
    for (Tick t : {*expected.begin(), *expected.rbegin(), Tick{-5}, Tick{1}, Tick{7}}) {
      const Frame* found = frames.Find(t);
      EXPECT_EQ(found != nullptr, expected.count(t) == 1) << t;
      if (found != nullptr) {
        EXPECT_EQ(found->tick, t);
      }
    }
  }
}

}  // namespace
}  // namespace pavaneflow
