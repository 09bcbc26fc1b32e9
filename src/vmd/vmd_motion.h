#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "vmd/motion_frame.h"

namespace pavaneflow {

// One bone key frame as a VMD file holds it, with its own interpolation bytes.
struct VmdBoneFrame {
  std::u16string boneName;
  std::int32_t frameNumber = 0;
  std::array<float, 3> position{};
  std::array<float, 4> rotation{0.0f, 0.0f, 0.0f, 1.0f};  // quaternion x, y, z, w
  InterpolationBytes interpolation{};
};

struct VmdMorphFrame {
  std::u16string morphName;
  std::int32_t frameNumber = 0;
  float weight = 0.0f;
};

struct VmdCameraFrame {
  std::int32_t frameNumber = 0;
  float distance = 0.0f;
  std::array<float, 3> position{};
  std::array<float, 3> rotation{};  // Euler angles, radians
  std::array<std::uint8_t, 24> interpolation{};
  std::uint32_t viewAngle = 0;  // degrees
  bool perspective = true;      // stored as 0 for perspective, 1 for orthographic
};

struct VmdLightFrame {
  std::int32_t frameNumber = 0;
  std::array<float, 3> colour{};
  std::array<float, 3> direction{};
};

struct VmdSelfShadowFrame {
  std::int32_t frameNumber = 0;
  std::uint8_t mode = 0;
  float distance = 0.0f;
};

// Everything a VMD file holds, in the file's order. Sections the file ends before are empty.
struct VmdMotion {
  bool oldFormat = false;  // "Vocaloid Motion Data file", with a 10-byte model name
  std::u16string modelName;
  std::vector<VmdBoneFrame> bones;
  std::vector<VmdMorphFrame> morphs;
  std::vector<VmdCameraFrame> cameras;
  std::vector<VmdLightFrame> lights;
  std::vector<VmdSelfShadowFrame> selfShadows;
};

}  // namespace pavaneflow
