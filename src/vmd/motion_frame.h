#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pavaneflow {

// One bone key frame. Created only by MotionDocument::InsertFrame, which fixes the bone and the
// frame number; position, rotation and interpolation belong to whoever created it.
class MotionFrame {
  // First, so that the floats and bytes behind them pack with no padding: 104 bytes a frame.
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
  std::array<std::uint8_t, 64> interpolation{};           // raw VMD interpolation bytes
};

}  // namespace pavaneflow
