#pragma once

#include <array>
#include <cstdint>

#include "vmd/motion_frame.h"

namespace pavaneflow {

// One interpolation curve as its two inner control points, bytes from 0 to 127.
struct CurveBytes {
  std::uint8_t x1, y1, x2, y2;
};

inline constexpr CurveBytes kStraight{20, 20, 107, 107};
inline constexpr CurveBytes kSlowInSlowOut{64, 0, 64, 127};
inline constexpr CurveBytes kSlowStart{64, 0, 107, 107};
inline constexpr CurveBytes kSlowEnd{20, 20, 64, 127};
// Starts and ends slowly, but never at more than 1.35 times the mean speed in between.
inline constexpr CurveBytes kGentle{40, 10, 87, 117};
// Starts slowly and ends at the mean speed, at most 1.53 times that in between.
inline constexpr CurveBytes kEasedStart{57, 0, 107, 107};
// Starts at the mean speed and ends slowly, at most 1.44 times that in between.
inline constexpr CurveBytes kEasedEnd{20, 20, 77, 127};

// The 64 interpolation bytes of a key frame from the curves of X, Y, Z and the rotation: a first
// row of x1, y1, x2, y2 of the four, and three rows each shifted one byte further, as the
// animation tool writes them.
constexpr InterpolationBytes MakeInterpolation(CurveBytes x, CurveBytes y, CurveBytes z,
                                               CurveBytes rotation) {
  const std::array<std::uint8_t, 16> row{x.x1, y.x1,        z.x1, rotation.x1, x.y1, y.y1,
                                         z.y1, rotation.y1, x.x2, y.x2,        z.x2, rotation.x2,
                                         x.y2, y.y2,        z.y2, rotation.y2};
  InterpolationBytes bytes{};
  for (std::size_t r = 0; r < 4; ++r) {
    for (std::size_t i = 0; i + r < 16; ++i) bytes[16 * r + i] = row[i + r];
    if (r > 0) bytes[16 * r + 16 - r] = 1;
  }
  return bytes;
}

// A foot rising from the floor: across slowly at first, up slowing into the top of the step.
inline constexpr InterpolationBytes kFootRise =
    MakeInterpolation(kSlowStart, kSlowInSlowOut, kSlowStart, kStraight);
// A foot coming down: across and down, both slowing into the landing.
inline constexpr InterpolationBytes kFootFall =
    MakeInterpolation(kSlowEnd, kSlowInSlowOut, kSlowEnd, kStraight);
// The centre: all three axes on one curve, so that it moves along a straight line between key
// frames, gently so that the body flows from one key frame to the next; the turn runs evenly,
// so that it never turns faster than its key frames allow.
inline constexpr InterpolationBytes kCentreEase =
    MakeInterpolation(kGentle, kGentle, kGentle, kStraight);
// The centre into and out of a foot's lift, across and forwards at the mean speed there, so that it
// passes without stopping; up and down as ever. From one foot's lift straight into the other's, it
// sets off late: it stays over the standing foot while the first foot is still in the air.
inline constexpr InterpolationBytes kCentreArriving =
    MakeInterpolation(kEasedStart, kGentle, kEasedStart, kStraight);
inline constexpr InterpolationBytes kCentreLeaving =
    MakeInterpolation(kEasedEnd, kGentle, kEasedEnd, kStraight);
// The groove's rise between two beats: up slowly out of the beat's dip and down again into the
// next, turning at the top without stopping there (across and forwards as ever). Eased at both
// ends like every other key frame, the body paused as long at the top, half a beat off, as in the
// dip: the eye (and the music) read the beat there as often as on the beat.
inline constexpr InterpolationBytes kGrooveToTop =
    MakeInterpolation(kGentle, kEasedStart, kGentle, kStraight);
inline constexpr InterpolationBytes kGrooveFromTop =
    MakeInterpolation(kGentle, kEasedEnd, kGentle, kStraight);
// The centre falling from the top of a jump: across at an even speed, down gathering speed, as a
// thrown body falls.
inline constexpr InterpolationBytes kFlightFall =
    MakeInterpolation(kStraight, kSlowStart, kStraight, kStraight);
// And rising to it from the take-off: across at the same even speed (up gently, as ever: thrown
// up at once, the body would straighten the legs of feet still leaving the floor).
inline constexpr InterpolationBytes kFlightRise =
    MakeInterpolation(kStraight, kGentle, kStraight, kStraight);
// Arms and twist: a turn that starts and ends slowly.
inline constexpr InterpolationBytes kTurnEase =
    MakeInterpolation(kStraight, kStraight, kStraight, kSlowInSlowOut);

}  // namespace pavaneflow
