// FrameList against a sorted set: inserting in any order, across block and group splits, must keep
// one Frame per tick in ascending order, and every Frame must keep its Notes when blocks split.
// Beats that AddBeats adds without storing them must read exactly like stored empty Frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>
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
      EXPECT_EQ(frames.Contains(t), expected.count(t) == 1) << t;
    }
  }
}

// One Get, and whether the caller then puts a Note on the Frame; or, with `beats`, AddBeats
// up to `tick`.
struct Step {
  Tick tick;
  bool note;
  bool beats = false;
};

// "tick:notes " for every Frame, of the list and of a plain map filled as the list should be.
std::string ListText(const FrameList& frames) {
  std::string text;
  for (const Frame& frame : frames) {
    text += std::to_string(frame.tick) + ":" + std::to_string(frame.notes.size()) + " ";
  }
  return text;
}

std::string MapText(const std::map<Tick, std::size_t>& frames) {
  std::string text;
  for (const auto& [tick, notes] : frames) {
    text += std::to_string(tick) + ":" + std::to_string(notes) + " ";
  }
  return text;
}

// Runs the steps on a FrameList and on a map that stores every beat, and compares them.
void ExpectSameAsStoredBeats(const std::vector<Step>& steps) {
  FrameList frames;
  std::map<Tick, std::size_t> expected;
  for (const Step& step : steps) {
    if (step.beats) {
      frames.AddBeats(step.tick);
      for (std::int64_t t = 0; t < step.tick; t += kTicksPerBeat) {
        expected.try_emplace(static_cast<Tick>(t), 0);
      }
      continue;
    }
    Frame* frame = frames.Get(step.tick);
    ASSERT_EQ(frame->tick, step.tick);
    expected.try_emplace(step.tick, 0);
    if (step.note && frame->notes.empty()) {
      frame->AddNotes(u"1");
      expected[step.tick] = 1;
    }
  }
  ASSERT_EQ(ListText(frames), MapText(expected));
  EXPECT_EQ(frames.size(), expected.size());
  EXPECT_EQ(frames.size(), static_cast<std::size_t>(std::distance(frames.begin(), frames.end())));
  EXPECT_EQ(frames.empty(), expected.empty());
  for (const auto& [tick, notes] : expected) {
    EXPECT_TRUE(frames.Contains(tick)) << tick;
    EXPECT_FALSE(frames.Contains(tick + 1) && expected.count(tick + 1) == 0) << tick + 1;
  }
}

std::vector<Step> Pass(Tick from, Tick to, Tick step, bool note = true) {
  std::vector<Step> steps;
  for (Tick t = from; t < to; t += step) steps.push_back({t, note});
  return steps;
}

std::vector<Step> Join(std::vector<Step> a, const std::vector<Step>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Step Beats(Tick end) {
  return {end, false, true};
}

TEST(FrameList, BeatsReadLikeStoredEmptyFrames) {
  constexpr Tick kFar = 48 * 2000;
  constexpr int kBig = static_cast<int>(FrameList::kBlockFrames * FrameList::kGroupBlocks);
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"no beats", Pass(0, 2000, 72)},
      {"only beats", {Beats(97)}},
      {"end past the last", Join(Pass(0, 2000, 72), {Beats(2200)})},
      {"end on the last", Join(Pass(0, 2000, 72), {Beats(1944)})},
      {"end before the last", Join(Pass(0, 2000, 72), {Beats(500)})},
      {"end just past a beat", Join(Pass(0, 200, 30), {Beats(49)})},
      {"end zero and negative", Join(Pass(0, 500, 30), {Beats(0), Beats(-7)})},
      {"a beat before each step, each on a beat, across blocks",
       Join(Pass(0, 96 * 5 * static_cast<Tick>(FrameList::kBlockFrames), 96), {Beats(30000)})},
      {"asked-for Frames on beats stay empty",
       {{96, false}, {144, false}, {200, true}, {250, true}, Beats(50)}},
      {"Frames asked for after the beats, on them and between them",
       Join(Join(Pass(0, 1000, 150), {Beats(1000)}), {{48, true}, {96, false}, {100, true}})},
      {"beats added twice, the second time further",
       Join(Join(Pass(0, 500, 100), {Beats(300)}), Join(Pass(600, 900, 100), {Beats(960)}))},
      {"beats added twice, the second time less far",
       Join(Pass(0, 500, 100), {Beats(480), Beats(100)})},
      {"first tick far out", {{kFar, true}, {kFar + 24, true}, Beats(kFar + 30)}},
      {"negative ticks first", {{-100, true}, {-48, true}, {30, true}, {50, true}, Beats(100)}},
      {"ticks that wrap",
       {{100, true},
        {std::numeric_limits<Tick>::max() - 5, true},
        {std::numeric_limits<Tick>::min() + 3, true},
        Beats(std::numeric_limits<Tick>::min() + 27)}},
      {"beats up to the largest tick",
       {{std::numeric_limits<Tick>::max() - 47, true}, Beats(std::numeric_limits<Tick>::max())}},
      {"across blocks and groups, end before the last",
       Join(Join(Pass(0, kBig * 40, 40), Pass(20, kBig * 20, 40)), {Beats(kBig * 30)})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.steps.back().tick == std::numeric_limits<Tick>::max()) {
      // Tens of millions of beats (44,739,243) and the stored Frame: only what does not iterate.
      FrameList frames;
      frames.Get(c.steps[0].tick);
      frames.AddBeats(c.steps[1].tick);
      EXPECT_EQ(frames.size(), std::size_t{44739243 + 1});
      EXPECT_TRUE(frames.Contains(std::numeric_limits<Tick>::max() - 47));
      EXPECT_FALSE(frames.Contains(std::numeric_limits<Tick>::max() - 46));
      continue;
    }
    ExpectSameAsStoredBeats(c.steps);
  }
}

TEST(FrameList, BeatsReadLikeStoredEmptyFramesOnRandomCharts) {
  // Charts read mostly forward, now and then starting again from an earlier tick as a second
  // pad does, with Frames that get no Note, and beats added anywhere, once or more.
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    std::vector<Step> steps;
    Tick tick = std::uniform_int_distribution<Tick>(-100, 200)(random);
    Tick last = tick;
    for (int i = 0; i < 3000; ++i) {
      const int roll = std::uniform_int_distribution<int>(0, 199)(random);
      if (roll == 0) {
        tick = std::uniform_int_distribution<Tick>(-50, last)(random);
      } else if (roll == 1) {
        steps.push_back(Beats(std::uniform_int_distribution<Tick>(-50, last + 200)(random)));
        continue;
      } else {
        tick += std::uniform_int_distribution<Tick>(0, 120)(random);
      }
      steps.push_back({tick, roll % 10 != 1});
      last = std::max(last, tick);
    }
    steps.push_back(Beats(std::uniform_int_distribution<Tick>(-50, last + 200)(random)));
    ExpectSameAsStoredBeats(steps);
  }
}

}  // namespace
}  // namespace pavaneflow
