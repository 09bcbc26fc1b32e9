#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "motion/timing/frame_number.h"
#include "motion/timing/simfile_timing_map.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {
namespace {

SimfileTimingMap Map(SimfileTiming timing) {
  return SimfileTimingMap(std::make_shared<const SimfileTiming>(std::move(timing)));
}

TEST(SimfileTimingMap, OneTempoIsTheClassicTiming) {
  const ClassicTiming classic(133.7f);
  const SimfileTimingMap map = Map({0.0, {{0, 133.7f}}, {}, {}, {}, {}});
  for (Tick tick : {-100, 0, 1, 24, 47, 48, 1000, 123457, 2147483647}) {
    EXPECT_EQ(map.BeatSeconds(tick), classic.BeatSeconds(tick)) << tick;
  }
}

TEST(SimfileTimingMap, TicksTakeTheTimeOfTemposPausesAndWarps) {
  struct Case {
    const char* name;
    SimfileTiming timing;
    std::vector<std::pair<Tick, double>> seconds;
  } const cases[] = {
      {"tempo change",
       {0.0, {{0, 120.0f}, {96, 60.0f}}, {}, {}, {}, {}},
       {{-48, -0.5}, {48, 0.5}, {96, 1.0}, {144, 2.0}}},
      {"a stop counts after its tick",
       {0.0, {{0, 120.0f}}, {{48, 0.5}}, {}, {}, {}},
       {{47, 47.0 / 96.0}, {48, 0.5}, {49, 0.5 + 49.0 / 96.0}, {96, 1.5}}},
      {"a delay counts at its tick",
       {0.0, {{0, 120.0f}}, {}, {{48, 0.5}}, {}, {}},
       {{47, 47.0 / 96.0}, {48, 1.0}, {96, 1.5}}},
      {"a warp takes no time",
       {0.0, {{0, 120.0f}}, {}, {}, {{1.0, 1.0}}, {}},
       {{48, 0.5}, {72, 0.5}, {95, 0.5}, {96, 0.5}, {144, 1.0}}},
      {"pauses inside a warp still count",
       {0.0, {{0, 120.0f}}, {{60, 0.5}}, {{70, 0.25}}, {{1.0, 1.0}}, {}},
       {{60, 0.5}, {70, 1.25}, {96, 1.25}}},
      {"a warp from the start",
       {0.0, {{0, 60.0f}}, {}, {}, {{-1.0, 2.0}}, {}},
       {{-48, -1.0}, {0, 0.0}, {48, 0.0}, {96, 1.0}}},
      {"overlapping warps",
       {0.0, {{0, 60.0f}}, {}, {}, {{1.0, 2.0}, {2.0, 2.0}}, {}},
       {{48, 1.0}, {192, 1.0}, {240, 2.0}}},
      {"a tempo change inside a warp",
       {0.0, {{0, 60.0f}, {72, 120.0f}}, {}, {}, {{1.0, 1.0}}, {}},
       {{96, 1.0}, {144, 1.5}}},
      {"a warp that never ends",
       {0.0, {{0, 60.0f}}, {}, {}, {{1.0, INFINITY}}, {}},
       {{48, 1.0}, {2000000, 1.0}}},
      {"a fractional warp end",
       {0.0, {{0, 60.0f}}, {}, {}, {{1.0, 0.51}}, {}},
       {{72, 1.0}, {73, 1.0 + 0.52 / 48.0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SimfileTimingMap map = Map(c.timing);
    for (const auto& [tick, seconds] : c.seconds) {
      EXPECT_NEAR(map.BeatSeconds(tick), seconds, 1e-12) << tick;
    }
  }
}

TEST(SimfileTimingMap, TheChartStartsAtMinusTheOffset) {
  const SimfileTimingMap map = Map({-0.0125, {{0, 120.0f}}, {}, {}, {}, {}});
  EXPECT_EQ(map.StartSeconds(999), 0.0125);
  // Frame numbers round the start itself to single precision: 0.0125 s is not 12 ms.
  EXPECT_EQ(TimeToFrameNumber(map.BeatSeconds(0), map.StartSeconds(0)), 0);
  EXPECT_EQ(TimeToFrameNumber(map.BeatSeconds(96), map.StartSeconds(0)), 30);
  const SimfileTimingMap late = Map({-1.0 / 30.0, {{0, 120.0f}}, {}, {}, {}, {}});
  EXPECT_EQ(TimeToFrameNumber(late.BeatSeconds(0), late.StartSeconds(0)), 1);
  // The classic start is the GAP in milliseconds.
  EXPECT_EQ(ClassicTiming(120.0f).StartSeconds(-250), -0.25);
}

}  // namespace
}  // namespace pavaneflow
