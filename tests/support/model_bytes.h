#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/pmx_model.h"

namespace pavaneflow::test {

// How a test PMX file is written: its header's choices and its bones. The file also holds one
// vertex of each weight type, a few faces, two textures and two materials (one of each toon
// kind), so that a reader must step over all of them.
struct PmxFile {
  float version = 2.0f;
  bool utf8 = false;
  std::uint8_t additionalVectors = 0;
  std::uint8_t vertexIndex = 2;
  std::uint8_t textureIndex = 1;
  std::uint8_t materialIndex = 1;
  std::uint8_t boneIndex = 2;
  std::string name = "踊りテスト人形";
  std::string englishName = "dance test figure";
  std::vector<PmxBone> bones;
  std::size_t vertexGroups = 1;  // the vertices of each weight type and their faces, repeated
};

// The figure dance3d's make_pmx.py writes: hips, knees and ankles at x = ±legX, leg heights
// times legScale (the upper body lowered with them), everything times scale; arms 40° below
// horizontal; foot IK bones with their links, and bones with every kind of extra field.
std::vector<PmxBone> StandardBones(float legX = 0.9f, float legScale = 1.0f, float scale = 1.0f);

// Where some fields of a written PMX file are, for tests that spoil them.
struct PmxOffsets {
  std::size_t vertexCount = 0;
  std::size_t firstWeightType = 0;
  std::size_t firstToonKind = 0;
  std::size_t boneCount = 0;
  std::size_t bonesEnd = 0;  // the end of the bone table
};

// The bytes of `file`; `offsets`, when given, learns where some of its fields are.
std::vector<std::uint8_t> PmxBytes(const PmxFile& file, PmxOffsets* offsets = nullptr);

// The index of the bone named `name` in `bones`, −1 when there is none.
std::int32_t BoneIndex(const std::vector<PmxBone>& bones, const std::string& name);

// A binary glTF holding `json` (padded as glTF pads it) and a small binary chunk.
std::vector<std::uint8_t> GlbBytes(const std::string& json);

// The JSON of a VRM figure with the 21 humanoid bones in a node tree, 1.6 m tall, in T-pose:
// VRM 1.0 (facing +z) or 0.x (facing −z), named `name`. Its hips node is turned and scaled and
// its spine given as a matrix, so that the tree must be composed to find the joints.
std::string VrmJson(int major, const std::string& name = "Test figure", double legScale = 1.0);

}  // namespace pavaneflow::test
