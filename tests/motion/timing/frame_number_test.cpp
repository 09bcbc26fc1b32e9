#include "motion/timing/frame_number.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "motion/timing/timing_map.h"

namespace pavaneflow {
namespace {

constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::min();

// The frame of `tick` in the classic timing: one tempo of `bpm` from the song's start.
std::int32_t TickToFrameNumber(float bpm, std::int32_t gap, Tick tick) {
  return SecondsToFrameNumber(ClassicTiming(bpm).BeatSeconds(tick), gap);
}

TEST(TickToFrameNumber, RoundsThroughSinglePrecisionAndTruncates) {
  struct Case {
    float bpm;
    std::int32_t gap;
    Tick tick;
    std::int32_t frame;
  };
  const float inf = std::numeric_limits<float>::infinity();
  const Case cases[] = {
      {120, 0, 0, 0},
      {120, 0, 24, 7},  // 7.5 truncates
      {120, 0, 48, 15},
      {120, 0, 96, 30},
      {63, 0, 336, 199},  // 6.6666665 s in single precision; 200 in double
      {150, 0, 48, 12},
      {120, 100, 0, 3},
      {120, -20, 0, 0},  // -0.6 truncates toward zero
      {120, -50, 0, -1},
      {120, 1000, 48, 45},
      {0, 0, 0, kNone},  // 0 × inf
      {0, 0, 48, kNone},
      {0, 500, 48, kNone},
      {-120, 0, 48, -15},
      {inf, 0, 48, 0},
      {std::nanf(""), 0, 0, kNone},
      {1e-30f, 0, 48, kNone},  // far beyond 32 bits
      {1e-45f, 0, 48, kNone},  // beat time beyond the float range
      {1e-45f, 0, 0, 0},       // 60 ÷ a denormal is still finite in double
      {1, 0, std::numeric_limits<std::int32_t>::max(), kNone},
      {120, std::numeric_limits<std::int32_t>::max(), 0, 64424512},
      {120, std::numeric_limits<std::int32_t>::min(), 0, -64424512},
      {120, 0, std::numeric_limits<std::int32_t>::max(), 671088660},
      {120, 0, std::numeric_limits<std::int32_t>::min(), -671088660},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TickToFrameNumber(c.bpm, c.gap, c.tick), c.frame)
        << "bpm " << c.bpm << " gap " << c.gap << " tick " << c.tick;
  }
}

}  // namespace
}  // namespace pavaneflow
