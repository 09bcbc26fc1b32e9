#include "model/pmx_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/model_error.h"
#include "support/model_bytes.h"

namespace pavaneflow {
namespace {

using test::PmxBytes;
using test::PmxFile;
using test::StandardBones;
using Bytes = std::vector<std::uint8_t>;
using Offsets = test::PmxOffsets;

struct Layout {
  bool utf8;
  std::uint8_t vertexIndex;
  std::uint8_t textureIndex;
  std::uint8_t boneIndex;
  std::uint8_t additionalVectors;
  float version;
};

TEST(PmxReader, ReadsTheBoneTableInEveryLayout) {
  const Layout layouts[] = {
      {false, 2, 1, 2, 0, 2.0f}, {true, 2, 1, 2, 0, 2.0f},  {false, 1, 1, 1, 0, 2.0f},
      {true, 4, 4, 4, 4, 2.1f},  {false, 4, 2, 1, 2, 2.1f}, {true, 1, 2, 4, 1, 2.0f},
  };
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(testing::Message()
                 << "utf8 " << layout.utf8 << ", indices " << int{layout.vertexIndex}
                 << int{layout.textureIndex} << int{layout.boneIndex});
    PmxFile file;
    file.utf8 = layout.utf8;
    file.vertexIndex = layout.vertexIndex;
    file.textureIndex = layout.textureIndex;
    file.materialIndex = layout.textureIndex;
    file.boneIndex = layout.boneIndex;
    file.additionalVectors = layout.additionalVectors;
    file.version = layout.version;
    file.bones = StandardBones();
    const PmxModel model = ReadPmx(PmxBytes(file), "figure.pmx");

    EXPECT_EQ(model.version, layout.version);
    EXPECT_EQ(model.name, "踊りテスト人形");
    EXPECT_EQ(model.englishName, "dance test figure");
    ASSERT_EQ(model.bones.size(), file.bones.size());
    for (std::size_t i = 0; i < model.bones.size(); ++i) {
      const PmxBone& read = model.bones[i];
      const PmxBone& written = file.bones[i];
      EXPECT_EQ(read.name, written.name);
      EXPECT_EQ(read.position, written.position);
      EXPECT_EQ(read.parent, written.parent);
      EXPECT_EQ(read.flags, written.flags);
      ASSERT_EQ(read.ik.has_value(), written.ik.has_value()) << read.name;
      if (!read.ik) continue;
      EXPECT_EQ(read.ik->target, written.ik->target);
      EXPECT_EQ(read.ik->loops, 40);
      EXPECT_EQ(read.ik->limitRadians, 2.0f);
      ASSERT_EQ(read.ik->links.size(), 2u);
      EXPECT_TRUE(read.ik->links[0].limited);
      EXPECT_EQ(read.ik->links[0].lower, written.ik->links[0].lower);
      EXPECT_EQ(read.ik->links[0].upper, written.ik->links[0].upper);
      EXPECT_FALSE(read.ik->links[1].limited);
      EXPECT_EQ(read.ik->links[1].bone, written.ik->links[1].bone);
    }
  }
}

// What a spoilt file must be refused as.
struct Spoilt {
  const char* what;
  void (*spoilFile)(PmxFile& file);
  void (*spoilBytes)(Bytes& bytes, const Offsets& at);
  ModelProblem problem;
  std::int64_t offset;  // −2: not checked
  const char* value;
  const char* name;
};

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::int32_t Index(const PmxFile& file, const char* name) {
  return test::BoneIndex(file.bones, name);
}

TEST(PmxReader, RefusesDamagedFilesNamingTheProblem) {
  const Spoilt cases[] = {
      {"another format", nullptr, [](Bytes& b, const Offsets&) { b[2] = 'D'; },
       ModelProblem::kNotAModel, -1, "", ""},
      {"version 3", [](PmxFile& f) { f.version = 3.0f; }, nullptr,
       ModelProblem::kUnsupportedVersion, 4, "3", ""},
      {"version 2.05", [](PmxFile& f) { f.version = 2.05f; }, nullptr,
       ModelProblem::kUnsupportedVersion, 4, "2.05", ""},
      {"seven globals", nullptr, [](Bytes& b, const Offsets&) { b[8] = 7; },
       ModelProblem::kImpossibleValue, 8, "7", ""},
      {"encoding 2", nullptr, [](Bytes& b, const Offsets&) { b[9] = 2; },
       ModelProblem::kImpossibleValue, 9, "2", ""},
      {"five extra vectors", [](PmxFile& f) { f.additionalVectors = 5; }, nullptr,
       ModelProblem::kImpossibleValue, 10, "5", ""},
      {"vertex index size 3", [](PmxFile& f) { f.vertexIndex = 3; }, nullptr,
       ModelProblem::kImpossibleValue, 11, "3", ""},
      {"bone index size 8", [](PmxFile& f) { f.boneIndex = 8; }, nullptr,
       ModelProblem::kImpossibleValue, 14, "8", ""},
      {"bone index size 0", [](PmxFile& f) { f.boneIndex = 0; }, nullptr,
       ModelProblem::kImpossibleValue, 14, "0", ""},
      {"negative vertex count", nullptr,
       [](Bytes& b, const Offsets& at) { Put32(b, at.vertexCount, ~0u); },
       ModelProblem::kImpossibleValue, -2, "-1", ""},
      {"absurd vertex count", nullptr,
       [](Bytes& b, const Offsets& at) { Put32(b, at.vertexCount, 0x7FFFFFFF); },
       ModelProblem::kTruncated, -2, "", ""},
      {"absurd bone count", nullptr,
       [](Bytes& b, const Offsets& at) { Put32(b, at.boneCount, 50000000); },
       ModelProblem::kTruncated, -2, "", ""},
      {"weight type 9", nullptr, [](Bytes& b, const Offsets& at) { b[at.firstWeightType] = 9; },
       ModelProblem::kImpossibleValue, -2, "9", ""},
      {"toon kind 2", nullptr, [](Bytes& b, const Offsets& at) { b[at.firstToonKind] = 2; },
       ModelProblem::kImpossibleValue, -2, "2", ""},
      {"parent out of range", [](PmxFile& f) { f.bones[Index(f, "首")].parent = 999; }, nullptr,
       ModelProblem::kBadBoneIndex, -1, "", "首"},
      {"parent −2", [](PmxFile& f) { f.bones[Index(f, "首")].parent = -2; }, nullptr,
       ModelProblem::kBadBoneIndex, -1, "", "首"},
      {"IK target out of range", [](PmxFile& f) { f.bones[Index(f, "右足ＩＫ")].ik->target = 500; },
       nullptr, ModelProblem::kBadBoneIndex, -1, "", "右足ＩＫ"},
      {"IK link out of range",
       [](PmxFile& f) { f.bones[Index(f, "左足ＩＫ")].ik->links[1].bone = -1; }, nullptr,
       ModelProblem::kBadBoneIndex, -1, "", "左足ＩＫ"},
      {"parents in a loop",
       [](PmxFile& f) { f.bones[Index(f, "センター")].parent = Index(f, "頭"); }, nullptr,
       ModelProblem::kBoneLoop, -1, "", "センター"},
      {"its own parent",
       [](PmxFile& f) { f.bones[Index(f, "左ひじ")].parent = Index(f, "左ひじ"); }, nullptr,
       ModelProblem::kBoneLoop, -1, "", "左ひじ"},
      {"NaN position",
       [](PmxFile& f) {
         f.bones[Index(f, "左ひざ")].position[1] = std::numeric_limits<float>::quiet_NaN();
       },
       nullptr, ModelProblem::kNotFinite, -1, "", "左ひざ"},
      {"infinite position",
       [](PmxFile& f) {
         f.bones[Index(f, "頭")].position[2] = -std::numeric_limits<float>::infinity();
       },
       nullptr, ModelProblem::kNotFinite, -1, "", "頭"},
  };
  for (const Spoilt& c : cases) {
    SCOPED_TRACE(c.what);
    PmxFile file;
    file.bones = StandardBones();
    if (c.spoilFile != nullptr) c.spoilFile(file);
    test::PmxOffsets at;
    std::vector<std::uint8_t> bytes = PmxBytes(file, &at);
    if (c.spoilBytes != nullptr) c.spoilBytes(bytes, at);
    try {
      ReadPmx(bytes, "bad.pmx");
      ADD_FAILURE() << "read";
    } catch (const ModelError& e) {
      EXPECT_EQ(e.problem(), c.problem) << e.what();
      EXPECT_EQ(e.file(), "bad.pmx");
      if (c.offset != -2) {
        EXPECT_EQ(e.offset(), c.offset) << e.what();
      }
      EXPECT_EQ(e.value(), c.value) << e.what();
      EXPECT_EQ(e.name(), c.name) << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("bad.pmx: ", 0), 0u) << e.what();
    }
  }
}

TEST(PmxReader, AFileCutAnywhereBeforeTheEndOfTheBonesIsTruncated) {
  for (const bool utf8 : {false, true}) {
    PmxFile file;
    file.utf8 = utf8;
    file.boneIndex = 4;
    file.bones = StandardBones();
    test::PmxOffsets at;
    const std::vector<std::uint8_t> bytes = PmxBytes(file, &at);
    for (std::size_t size = 4; size < at.bonesEnd; ++size) {
      const std::span<const std::uint8_t> cut(bytes.data(), size);
      try {
        ReadPmx(cut, "cut.pmx");
        ADD_FAILURE() << "read " << size << " bytes";
      } catch (const ModelError& e) {
        ASSERT_EQ(e.problem(), ModelProblem::kTruncated) << size << ": " << e.what();
        ASSERT_EQ(e.offset(), static_cast<std::int64_t>(size));
      }
    }
    EXPECT_EQ(ReadPmx(std::span(bytes.data(), at.bonesEnd), "whole.pmx").bones.size(),
              file.bones.size());
  }
}

}  // namespace
}  // namespace pavaneflow
