#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pavaneflow {

// The raw VMD interpolation bytes of one key frame.
using InterpolationBytes = std::array<std::uint8_t, 64>;

// All zero: what a new key frame has.
inline constexpr InterpolationBytes kDefaultInterpolation{};

// One bone key frame. Created only by MotionDocument::InsertFrame, which fixes the bone and the
// frame number; position, rotation and interpolation belong to whoever created it.
class MotionFrame {
  // First, so that the floats and the pointer behind them pack with no padding: 48 bytes a frame.
  const std::u16string* boneName_;
  std::int32_t frameNumber_;

 public:
  MotionFrame(const std::u16string* boneName, std::int32_t frameNumber)
      : boneName_(boneName), frameNumber_(frameNumber) {}

  const std::u16string& boneName() const { return *boneName_; }
  // The interned name: equal names share one object within a MotionDocument.
  const std::u16string* internedBoneName() const { return boneName_; }
  std::int32_t frameNumber() const { return frameNumber_; }

  std::array<float, 3> position{0.0f, 0.0f, 0.0f};        // x, y, z
  std::array<float, 4> rotation{0.0f, 0.0f, 0.0f, 1.0f};  // quaternion x, y, z, w
  // Never null and not owned: the bytes must outlive the document, as constant tables do. Frames
  // share a handful of tables; 64 bytes of their own would more than double a frame's size.
  const InterpolationBytes* interpolation = &kDefaultInterpolation;
};

}  // namespace pavaneflow
