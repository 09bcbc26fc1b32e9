#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavaneflow {

// One link of an IK chain: a bone the solver turns, and the limits of its turn when it has them
// (radians, about x, y and z).
struct PmxIkLink {
  std::int32_t bone = -1;
  bool limited = false;
  std::array<float, 3> lower{};
  std::array<float, 3> upper{};
};

// What makes a bone an IK bone: the bone it pulls onto itself and the chain that reaches it.
struct PmxIk {
  std::int32_t target = -1;
  std::int32_t loops = 0;
  float limitRadians = 0.0f;  // the largest turn of a link in one loop
  std::vector<PmxIkLink> links;
};

inline constexpr std::uint16_t kPmxTailIsBone = 0x0001;
inline constexpr std::uint16_t kPmxRotatable = 0x0002;
inline constexpr std::uint16_t kPmxTranslatable = 0x0004;
inline constexpr std::uint16_t kPmxIk = 0x0020;
inline constexpr std::uint16_t kPmxInheritRotation = 0x0100;
inline constexpr std::uint16_t kPmxInheritTranslation = 0x0200;
inline constexpr std::uint16_t kPmxFixedAxis = 0x0400;
inline constexpr std::uint16_t kPmxLocalAxes = 0x0800;
inline constexpr std::uint16_t kPmxExternalParent = 0x2000;

// A bone of a PMX model at rest, in the file's own units and axes (MMD's: y up, the model facing
// −z, its left side at +x, 1 unit about 8 cm). Indices point into PmxModel::bones.
struct PmxBone {
  std::string name;  // UTF-8, as MMD shows it ("左足ＩＫ")
  std::string englishName;
  std::array<float, 3> position{};
  std::int32_t parent = -1;  // −1: a root
  std::uint16_t flags = 0;
  std::optional<PmxIk> ik;  // with kPmxIk
};

// The part of a PMX model that a dance needs: its names and its bone table. Vertices, faces,
// textures and materials are read past; morphs and what follows the bones are not read.
struct PmxModel {
  float version = 2.0f;  // 2.0 or 2.1
  std::string name;      // UTF-8
  std::string englishName;
  std::vector<PmxBone> bones;
};

}  // namespace pavaneflow
