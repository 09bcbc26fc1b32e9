#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "vmd/bezier_curve.h"
#include "vmd/bone_track.h"
#include "vmd/motion_frame.h"

namespace pavaneflow {

// The curve of channel `channel` (0 to 2: X, Y, Z; 3: the rotation) in a key frame's
// interpolation bytes: the first 16 bytes hold x1 of the four channels, then y1, x2 and y2.
BezierCurve ChannelCurve(const InterpolationBytes& bytes, int channel);

// The rotations between two key frames' rotations, by spherical interpolation along the shorter
// arc; what is the same for every share of the way is worked out once.
class RotationBlend {
 public:
  RotationBlend(const std::array<float, 4>& from, const std::array<float, 4>& to);
  // The rotation `share` of the way (0 to 1).
  std::array<double, 4> At(double share) const;

 private:
  std::array<float, 4> from_;
  std::array<float, 4> to_;  // on the same side as `from_`
  double angle_ = 0.0;       // between them; 0 where they are so close that a line will do
  double sine_ = 0.0;
};

// The same spherical interpolation for a bone taken frame after frame: the start and the unit
// rotation square to it towards the end are worked out once, so that each share of the way
// costs a sine and a cosine and no division. Key rotations are floats, unit only to a float's
// precision, and the two take that differently: their rotations differ by a few billionths,
// below the last bit a float holds.
class ArcBlend {
 public:
  ArcBlend(const std::array<float, 4>& from, const std::array<float, 4>& to);
  std::array<double, 4> At(double share) const;

 private:
  std::optional<RotationBlend> linear_;  // where a line will do, as RotationBlend decides
  std::array<double, 4> start_{};        // the start at unit length
  std::array<double, 4> square_{};       // unit, square to the start, towards the end
  double angle_ = 0.0;
};

// Where a bone is between two key frames when each channel has come `progress` of the way
// (X, Y, Z, rotation, 0 to 1): each coordinate on its own, the rotation by `turn` (a
// RotationBlend or an ArcBlend).
template <typename Turn>
BonePose Blend(const std::array<float, 3>& fromPosition, const std::array<float, 3>& toPosition,
               const Turn& turn, const std::array<double, 4>& progress) {
  BonePose pose;
  for (std::size_t i = 0; i < 3; ++i) {
    const double a = static_cast<double>(fromPosition[i]);
    const double b = static_cast<double>(toPosition[i]);
    pose.position[i] = a + (b - a) * progress[i];
  }
  pose.rotation = turn.At(progress[3]);
  return pose;
}

// Where a bone stands at a key frame.
BonePose PoseAt(const std::array<float, 3>& position, const std::array<float, 4>& rotation);

}  // namespace pavaneflow
