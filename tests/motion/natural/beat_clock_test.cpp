#include "motion/natural/beat_clock.h"

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
        }
      }
    }
  }
}

}  // namespace
}  // namespace pavaneflow
