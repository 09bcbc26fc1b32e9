#include "motion/timing/game_timing.h"

#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "motion/timing/frame_number.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {
namespace {

struct TimeCase {
  const char* what;
  float bpm;
  std::vector<TempoChange> tempos;
  std::vector<Stop> stops;
  std::vector<std::pair<Tick, double>> times;  // tick, exact seconds
};

const TimeCase kTimeCases[] = {
    // 120 BPM, 60 from tick 96, 240 from tick 192; half a second of stop at tick 144.
    {"two tempo changes and a stop",
     120.0f,
     {{96, 60.0f}, {192, 240.0f}},
     {{144, 500.0}},
     {{0, 0.0},
      {48, 0.5},
      {96, 1.0},
      {120, 1.5},
      {144, 2.0},
      {145, 2.0 + 1.0 / 48 + 0.5},
      {192, 3.5},
      {240, 3.75}}},
    // The steps inside a warp land at the stop; time goes on from where the warp ends.
    {"a negative stop",
     120.0f,
     {},
     {{48, -1000.0}},
     {{48, 0.5}, {96, 0.5}, {144, 0.5}, {192, 1.0}, {240, 1.5}}},
    {"a warp inside a warp",
     120.0f,
     {},
     {{48, -1000.0}, {96, -1000.0}, {240, 250.0}},
     {{96, 0.5}, {240, 0.5}, {288, 1.25}, {384, 2.25}}},
    {"a tempo change at tick 0 replaces the BPM", 120.0f, {{0, 60.0f}}, {}, {{48, 1.0}}},
    {"ticks before 0 keep the first tempo", 120.0f, {{96, 60.0f}}, {{0, 500.0}}, {{-48, -0.5}}},
};

TEST(GameTiming, TicksBecomeSecondsAcrossTempoChangesAndStops) {
  for (const TimeCase& c : kTimeCases) {
    SCOPED_TRACE(c.what);
    const GameTiming timing(c.bpm, c.tempos, c.stops);
    for (const auto& [tick, seconds] : c.times) {
      EXPECT_DOUBLE_EQ(timing.BeatSeconds(tick), seconds) << "tick " << tick;
    }
  }
}

TEST(GameTiming, SumsInTheOrderGamesAddThem) {
  // (W + P) + S, each piece as classic timing computes one segment, empty sums left out.
  const GameTiming timing(150.1f, {{100, 133.7f}, {250, 97.3f}}, {{10, 333.0}, {200, 17.0}});
  auto seconds = [](float bpm, double ticks) {
    return 60.0 / static_cast<double>(bpm) * ticks / 48.0;
  };
  const double w1 = seconds(150.1f, 100);
  const double w2 = w1 + seconds(133.7f, 150);
  EXPECT_EQ(timing.BeatSeconds(5), seconds(150.1f, 5));
  EXPECT_EQ(timing.BeatSeconds(50), seconds(150.1f, 50) + 0.333);
  EXPECT_EQ(timing.BeatSeconds(300), (w2 + seconds(97.3f, 50)) + (0.333 + 0.017));
}

TEST(GameTiming, WithoutChangesItIsTheClassicTimingBitForBit) {
  for (float bpm : {120.0f, 63.0f, 150.1f, 1e-30f, 3e38f, -90.0f, 0.0f}) {
    const ClassicTiming classic(bpm);
    const GameTiming game(bpm, {}, {});
    for (Tick tick : {0, 1, 24, 336, 99'999, -48, std::numeric_limits<Tick>::max(),
                      std::numeric_limits<Tick>::min()}) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(game.BeatSeconds(tick)),
                std::bit_cast<std::uint64_t>(classic.BeatSeconds(tick)))
          << "bpm " << bpm << ", tick " << tick;
    }
  }
}

TEST(GameTiming, ABpmOfZeroGivesNoFrameUnlessTickZeroChangesIt) {
  const GameTiming still(0.0f, {{96, 120.0f}}, {{48, 100.0}});
  for (Tick tick : {0, 48, 96, 200}) {
    EXPECT_EQ(SecondsToFrameNumber(still.BeatSeconds(tick), 0),
              std::numeric_limits<std::int32_t>::min());
  }
  const GameTiming replaced(0.0f, {{0, 120.0f}}, {});
  EXPECT_EQ(SecondsToFrameNumber(replaced.BeatSeconds(96), 0), 30);
}

}  // namespace
}  // namespace pavaneflow
