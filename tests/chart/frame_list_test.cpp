// FrameList against a sorted set: inserting in any order, across block and group splits, must keep
// one Frame per tick in ascending order, and every Frame must keep its Notes when blocks split.
// Beats put in ahead must leave a list exactly as AddBeats alone would have made it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
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
      const Frame* found = frames.Find(t);
      EXPECT_EQ(found != nullptr, expected.count(t) == 1) << t;
      if (found != nullptr) {
        EXPECT_EQ(found->tick, t);
      }
    }
  }
}

// One Get, and whether the caller then puts a Note on the Frame.
struct Step {
  Tick tick;
  bool note;
};

std::string ListText(const FrameList& frames) {
  std::string text;
  for (const Frame& frame : frames) {
    text += std::to_string(frame.tick) + ":" + std::to_string(frame.notes.size()) + " ";
  }
  return text;
}

// The steps, then AddBeats(end) unless `drop`, in which case the beats ahead are dropped
// instead; with `ahead` the list puts beats in ahead from the start.
std::string ReadAndFill(const std::vector<Step>& steps, Tick end, bool drop, bool ahead) {
  FrameList frames;
  if (ahead) frames.PutBeatsAhead();
  for (const Step& step : steps) {
    Frame* frame = frames.Get(step.tick);
    if (step.note) frame->AddNotes(u"1");
  }
  if (drop) {
    frames.DropBeatsAhead();
  } else {
    frames.AddBeats(end);
  }
  EXPECT_EQ(frames.size(), static_cast<std::size_t>(std::distance(frames.begin(), frames.end())));
  return ListText(frames);
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

TEST(FrameList, BeatsPutInAheadEndAsAddBeatsAloneWould) {
  constexpr Tick kFar = 48 * (FrameList::kMaxBeatsAhead + 10);
  constexpr int kBig = static_cast<int>(FrameList::kBlockFrames * FrameList::kGroupBlocks);
  struct Case {
    const char* name;
    std::vector<Step> steps;
    Tick end;
    bool drop;
  };
  const Case cases[] = {
      {"in order, end past the last", Pass(0, 2000, 72), 2200, false},
      {"in order, end on the last", Pass(0, 2000, 72), 1944, false},
      {"in order, end before the last", Pass(0, 2000, 72), 500, false},
      {"a beat before two steps in three, across blocks",
       Pass(0, 72 * 5 * static_cast<Tick>(FrameList::kBlockFrames), 72), 7000, false},
      {"a beat before every step, each on a beat, across blocks",
       Pass(0, 96 * 5 * static_cast<Tick>(FrameList::kBlockFrames), 96), 30000, false},
      {"end zero", Pass(0, 500, 30), 0, false},
      {"end negative", Pass(0, 500, 30), -7, false},
      {"asked-for Frames on beats stay empty",
       {{96, false}, {144, false}, {200, true}, {250, true}},
       50,
       false},
      {"a second pass keeps the beats it asks for",
       Join(Pass(0, 1000, 150), {{24, true}, {48, true}, {96, false}, {480, false}}), 60, false},
      {"a second pass that runs past the first", Join(Pass(0, 1000, 150), Pass(24, 3000, 100)),
       2924, false},
      {"first tick far out", {{kFar, true}, {kFar + 24, true}}, kFar + 30, false},
      {"first tick far out, end early", {{kFar, true}, {kFar + 24, true}}, 100, false},
      {"a far jump midway", Join(Pass(0, 480, 24), {{kFar, true}, {kFar + 96, true}}), kFar / 2,
       false},
      {"negative ticks first", {{-100, true}, {-24, true}, {30, true}, {50, true}}, 100, false},
      {"ticks that wrap",
       {{100, true},
        {std::numeric_limits<Tick>::max() - 5, true},
        {std::numeric_limits<Tick>::min() + 3, true}},
       std::numeric_limits<Tick>::min() + 27,
       false},
      {"the same tick twice", {{0, true}, {48, true}, {48, true}, {100, true}}, 100, false},
      {"dropped", Join(Pass(0, 1000, 150), {{96, false}, {48, true}}), 0, true},
      {"dropped after a far jump", Join(Pass(0, 480, 72), {{kFar, true}}), 0, true},
      {"across blocks and groups, end before the last",
       Join(Pass(0, kBig * 40, 40), Pass(20, kBig * 20, 40)), kBig * 30, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadAndFill(c.steps, c.end, c.drop, true),
              ReadAndFill(c.steps, c.end, c.drop, false));
  }
}

TEST(FrameList, BeatsPutInAheadMatchAddBeatsAloneOnRandomCharts) {
  // Charts read mostly forward, now and then starting again from an earlier tick as a second
  // pad does, with Frames that get no Note, and an end tick anywhere.
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    std::vector<Step> steps;
    Tick tick = std::uniform_int_distribution<Tick>(-100, 200)(random);
    Tick last = tick;
    for (int i = 0; i < 3000; ++i) {
      const int roll = std::uniform_int_distribution<int>(0, 99)(random);
      if (roll == 0) {
        tick = std::uniform_int_distribution<Tick>(-50, last)(random);
      } else {
        tick += std::uniform_int_distribution<Tick>(0, 120)(random);
      }
      steps.push_back({tick, roll % 10 != 1});
      last = std::max(last, tick);
    }
    const Tick end = std::uniform_int_distribution<Tick>(-50, last + 200)(random);
    EXPECT_EQ(ReadAndFill(steps, end, false, true), ReadAndFill(steps, end, false, false));
    EXPECT_EQ(ReadAndFill(steps, end, true, true), ReadAndFill(steps, end, true, false));
  }
}

}  // namespace
}  // namespace pavaneflow
