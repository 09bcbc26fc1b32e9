#include "motion/natural/beat_clock.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "motion/timing/timing_map.h"

namespace pavaneflow {
namespace {

// A beat every half second that stops for a while: some beats fall on a frame already passed.
class StoppingTiming : public TimingMap {
 public:
  double BeatSeconds(Tick tick) const override {
    const double beats = static_cast<double>(tick) / static_cast<double>(kTicksPerBeat);
    return beats < 10.0 ? beats * 0.5 : (beats < 14.0 ? 5.0 : (beats - 4.0) * 0.5);
  }
};

// The answers, and the beats' numbers, must not depend on what was asked before: the centre and the
// arms ask mostly forwards, from where they were, but also again and back.
TEST(BeatClock, FindsTheSameBeatWhateverWasAskedBefore) {
  const ClassicTiming steady(120.0f);
  const StoppingTiming stopping;
  std::vector<std::int32_t> forwards;
  for (std::int32_t f = -3; f <= 700; f += 1) forwards.push_back(f);
  const std::vector<std::int32_t> backwards(forwards.rbegin(), forwards.rend());
  std::vector<std::int32_t> interleaved;  // the next beat, then the one after it, then back
  for (std::int32_t f = 0; f <= 680; f += 7) interleaved.insert(interleaved.end(), {f, f + 16, f});
  const std::vector<std::int32_t> jumping{690, 0, 151, 150, 149, 1000, 14, 16, 300, 299, 299, 2};
  std::vector<std::int32_t> striding;  // forwards by one to six beats, as the arms turn
  for (std::int32_t f = 0, beats = 1; f <= 700; f += 15 * beats, beats = beats % 6 + 1) {
    striding.push_back(f);
  }

  for (const TimingMap* timing :
       {static_cast<const TimingMap*>(&steady), static_cast<const TimingMap*>(&stopping)}) {
    for (const std::int32_t gap : {0, 250}) {
      const Tick last = 40 * kTicksPerBeat;
      for (const auto& order : {forwards, backwards, interleaved, jumping, striding}) {
        BeatClock asked(*timing, gap, last);
        for (const std::int32_t frame : order) {
          BeatClock fresh(*timing, gap, last);
          const std::optional<std::int32_t> beat = asked.From(frame);
          EXPECT_EQ(beat, fresh.From(frame)) << "frame " << frame << ", gap " << gap;
          // The body rests on every other quick beat by its number.
          if (beat) {
            EXPECT_EQ(asked.LastNumber(), fresh.LastNumber()) << "frame " << frame;
          }
          // The feet place their stillness by the nearest beat, asking as they plan.
          BeatClock freshNearest(*timing, gap, last);
          EXPECT_EQ(asked.Nearest(frame), freshNearest.Nearest(frame)) << "frame " << frame;
        }
      }
    }
  }
}

// Two clocks over the same beats, each asked in its own order, one ahead of the other or behind
// it, must answer as clocks of their own: the feet plan a stretch before the centre and the arms
// ask about it, and neither may be steered by where the other one was.
TEST(BeatClock, ClocksAlongsideAnswerAsTheirOwn) {
  const StoppingTiming stopping;
  const Tick last = 40 * kTicksPerBeat;
  std::vector<std::int32_t> forwards;
  for (std::int32_t f = -3; f <= 700; f += 5) forwards.push_back(f);
  const std::vector<std::int32_t> backwards(forwards.rbegin(), forwards.rend());
  std::vector<std::int32_t> behind;  // the same frames, a stretch later
  for (const std::int32_t f : forwards) behind.push_back(f - 90);
  const std::vector<std::int32_t> jumping{690, 0, 151, 150, 149, 1000, 14, 16, 300, 299, 299, 2};
  const struct {
    const std::vector<std::int32_t>& first;
    const std::vector<std::int32_t>& second;
  } cases[] = {{forwards, behind}, {behind, forwards}, {forwards, backwards}, {jumping, forwards}};
  for (const auto& c : cases) {
    BeatClock one(stopping, 0, last);
    BeatClock two = one.Alongside();
    BeatClock ownOne(stopping, 0, last);
    BeatClock ownTwo(stopping, 0, last);
    for (std::size_t i = 0; i < c.first.size() || i < c.second.size(); ++i) {
      if (i < c.first.size()) {
        const std::int32_t frame = c.first[i];
        EXPECT_EQ(one.From(frame), ownOne.From(frame)) << "first clock, frame " << frame;
        EXPECT_EQ(one.LastNumber(), ownOne.LastNumber()) << "first clock, frame " << frame;
      }
      if (i < c.second.size()) {
        const std::int32_t frame = c.second[i];
        EXPECT_EQ(two.Nearest(frame), ownTwo.Nearest(frame)) << "second clock, frame " << frame;
        EXPECT_EQ(two.LastNumber(), ownTwo.LastNumber()) << "second clock, frame " << frame;
      }
    }
  }
}

// No beat at or after frame 0.
class NoBeats : public TimingMap {
 public:
  double BeatSeconds(Tick) const override { return -100.0; }
};

// A beat every 12 frames, the last at 60: the nearer of the beats either side, the earlier one
// half way between, the first before it and the last after it.
TEST(BeatClock, FindsTheNearestBeat) {
  const ClassicTiming steady(150.0f);
  const struct {
    std::int32_t frame;
    std::int32_t beat;
  } cases[] = {{-4, 0},  {0, 0},   {5, 0},   {6, 0},   {7, 12},  {12, 12},
               {29, 24}, {30, 24}, {31, 36}, {54, 48}, {55, 60}, {900, 60}};
  for (const auto& c : cases) {
    BeatClock clock(steady, 0, 4 * kTicksPerBeat);
    EXPECT_EQ(clock.Nearest(c.frame), c.beat) << "frame " << c.frame;
  }
  const NoBeats none;
  BeatClock empty(none, 0, 40 * kTicksPerBeat);
  EXPECT_EQ(empty.Nearest(10), std::nullopt);
}

}  // namespace
}  // namespace pavaneflow
