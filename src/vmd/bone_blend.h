#pragma once

#include <array>

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

// Where a bone is between two key frames when each channel has come `progress` of the way
// (X, Y, Z, rotation, 0 to 1): each coordinate on its own, the rotation by `turn`.
BonePose Blend(const std::array<float, 3>& fromPosition, const std::array<float, 3>& toPosition,
               const RotationBlend& turn, const std::array<double, 4>& progress);

// Where a bone stands at a key frame.
BonePose PoseAt(const std::array<float, 3>& position, const std::array<float, 4>& rotation);

}  // namespace pavaneflow
