#pragma once

#include <cstdint>

namespace pavaneflow {

// The motion frame (30 per second) at which a chart time falls, `beatSeconds` from tick 0 (as a
// TimingMap gives it) in a song starting `gap` milliseconds late, truncated toward zero. The beat
// time, the gap time and their sum are each rounded to single precision on the way, which decides
// the frame whenever the exact time lies just below a whole frame. A time that is not a number or
// beyond the 32-bit range (a beat time at bpm 0, for instance) gives INT32_MIN, a frame at which
// nothing is emitted.
std::int32_t SecondsToFrameNumber(double beatSeconds, std::int32_t gap);

// The same with the start given in seconds (as TimingMap::StartSeconds gives it), rounded to
// single precision in place of the gap time.
std::int32_t TimeToFrameNumber(double beatSeconds, double startSeconds);

}  // namespace pavaneflow
