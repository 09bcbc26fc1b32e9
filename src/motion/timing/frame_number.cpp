#include "motion/timing/frame_number.h"

#include <cmath>
#include <limits>

namespace pavaneflow {
namespace {

constexpr double kMillisecondsPerSecond = 1000.0;
constexpr double kFramesPerSecond = 30.0;

// Rounds to single precision as the hardware does, also where the C++ cast is undefined: a finite
// value beyond the float range (60 ÷ a denormal BPM, say) overflows to infinity or stays at the
// largest float, whichever is nearer.
float ToFloat(double value) {
  constexpr double kMax = static_cast<double>(std::numeric_limits<float>::max());
  constexpr double kOverflow = 0x1.ffffffp127;  // halfway from the largest float to 2^128
  if (std::isfinite(value) && std::fabs(value) > kMax) {
    const double rounded = std::fabs(value) >= kOverflow ? HUGE_VAL : kMax;
    return static_cast<float>(std::copysign(rounded, value));
  }
  return static_cast<float>(value);
}

}  // namespace

std::int32_t SecondsToFrameNumber(double beatSeconds, std::int32_t gap) {
  return TimeToFrameNumber(beatSeconds, static_cast<double>(gap) / kMillisecondsPerSecond);
}

std::int32_t TimeToFrameNumber(double beatSeconds, double startSeconds) {
  const float beatTime = ToFloat(beatSeconds);
  const float gapTime = ToFloat(startSeconds);
  const float seconds = ToFloat(static_cast<double>(beatTime) + static_cast<double>(gapTime));
  const double product = static_cast<double>(seconds) * kFramesPerSecond;
  // Everything that does not truncate into 32 bits (NaN and infinities included) becomes
  // INT32_MIN, as the processor's own conversion gives it.
  constexpr double kLimit = 2147483648.0;
  if (!(product > -kLimit - 1.0 && product < kLimit)) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(product);
}

}  // namespace pavaneflow
