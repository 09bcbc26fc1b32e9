#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "vmd/motion_document.h"
#include "vmd/motion_frame.h"
#include "vmd/vmd_motion.h"

namespace pavaneflow {

// One key frame of one bone, as the sampler needs it.
struct BoneKey {
  std::int32_t frameNumber = 0;
  std::array<float, 3> position{};
  std::array<float, 4> rotation{0.0f, 0.0f, 0.0f, 1.0f};  // quaternion x, y, z, w
  InterpolationBytes interpolation{};
};

// Where a bone is at one moment.
struct BonePose {
  std::array<double, 3> position{};
  std::array<double, 4> rotation{0.0, 0.0, 0.0, 1.0};
};

// The key frames of one bone, sampled at any time the way VMD players do: between two key
// frames each of X, Y, Z and the rotation follows its own Bézier curve, taken from the later key
// frame's interpolation bytes; the rotation runs by spherical interpolation along the shorter
// arc. Before the first key frame the bone holds the first one, after the last the last one.
// Of several key frames at one frame number the last one counts. No key frames: the rest pose.
class BoneTrack {
 public:
  BoneTrack() = default;
  // Keys in any order; equal frame numbers keep their given order.
  explicit BoneTrack(std::vector<BoneKey> keys);

  // The key frames of `bone` in a generated motion, or in a motion read from a file.
  static BoneTrack FromDocument(const MotionDocument& document, std::u16string_view bone);
  static BoneTrack FromVmd(const VmdMotion& motion, std::u16string_view bone);

  // The pose at `frame`, a fractional frame number (30 per second).
  BonePose At(double frame) const;

  const std::vector<BoneKey>& Keys() const { return keys_; }

 private:
  std::vector<BoneKey> keys_;
};

}  // namespace pavaneflow
