#include "vmd/vmd_reader.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/file_error.h"
#include "motion/classic/jump_interpolation.h"
#include "support/vmd_bytes.h"
#include "vmd/hex_bytes.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {
namespace {

using test::SerializeVmd;

using Bytes = std::vector<std::uint8_t>;
using test::Concat;
using test::Zeros;

Bytes U32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}
Bytes F32(float value) {
  return U32(std::bit_cast<std::uint32_t>(value));
}
Bytes Field(std::string_view text, std::size_t size) {
  Bytes bytes(size, 0);
  std::memcpy(bytes.data(), text.data(), std::min(text.size(), size));
  return bytes;
}

// A document with what the writer meets in practice: several bones, a name cut by its field,
// moved and turned frames, and the jump curve.
void FillSample(MotionDocument& document) {
  document.modelName = u"初音ミク";
  MotionFrame* centre = document.InsertFrame(u"センター", 0);
  centre->position = {1.5f, -0.25f, 3.0f};
  centre->rotation = {0.0f, 0.7071068f, 0.0f, 0.7071068f};
  centre->interpolation = &kJumpInterpolation;
  document.InsertFrame(u"左足ＩＫ", 7)->position = {-4.9f, 2.0f, 0.0f};
  document.InsertFrame(u"とても長いボーンの名前", 30);
}

// The sample's VMD bytes, with or without the empty sections.
Bytes SampleBytes(bool compat) {
  MotionDocument document;
  FillSample(document);
  return SerializeVmd(document, {.appendEmptySections = compat});
}

void ExpectSameFrames(const MotionDocument& written, const VmdMotion& read) {
  ASSERT_EQ(read.bones.size(), written.FrameCount());
  for (std::size_t i = 0; i < read.bones.size(); ++i) {
    const MotionFrame& w = written.At(i);
    const VmdBoneFrame& r = read.bones[i];
    EXPECT_EQ(r.frameNumber, w.frameNumber()) << i;
    EXPECT_EQ(r.position, w.position) << i;
    EXPECT_EQ(r.rotation, w.rotation) << i;
    EXPECT_EQ(r.interpolation, *w.interpolation) << i;
  }
}

TEST(ReadVmd, ReadsBackWhatTheWriterWrites) {
  MotionDocument document;
  FillSample(document);
  for (const bool compat : {false, true}) {
    const Bytes bytes = SampleBytes(compat);
    const VmdMotion motion = ReadVmd(bytes, "sample.vmd");
    EXPECT_FALSE(motion.oldFormat);
    EXPECT_EQ(motion.modelName, u"初音ミク");
    ExpectSameFrames(document, motion);
    EXPECT_EQ(motion.bones[0].boneName, u"センター");
    EXPECT_EQ(motion.bones[1].boneName, u"左足ＩＫ");
    // Cut to 15 bytes: seven whole characters and the lead byte of the eighth.
    EXPECT_EQ(motion.bones[2].boneName, u"とても長いボー\uFFFD");
    EXPECT_TRUE(motion.morphs.empty() && motion.cameras.empty() && motion.lights.empty() &&
                motion.selfShadows.empty());
  }
}

TEST(ReadVmd, ReadsTheOlderSignatureAndEverySection) {
  const Bytes bytes = Concat({
      Field("Vocaloid Motion Data file", 30),
      Field("\x83\x7E\x83\x4E", 10),  // "ミク"
      U32(0),                         // bones
      U32(1),
      Field("\x82\xA0", 15),
      U32(12),
      F32(0.5f),  // morph "あ"
      U32(1),
      U32(3),
      F32(-45.0f),
      F32(0.0f),
      F32(10.0f),
      F32(0.0f),
      F32(0.1f),
      F32(0.0f),
      F32(0.0f),
      Bytes(24, 20),
      U32(30),
      Bytes{1},  // camera
      U32(1),
      U32(4),
      F32(0.6f),
      F32(0.6f),
      F32(0.6f),
      F32(-0.5f),
      F32(-1.0f),
      F32(0.5f),
      U32(1),
      U32(5),
      Bytes{1},
      F32(0.01f),         // self-shadow
      Bytes{0xAA, 0xBB},  // trailing bytes of some other tool
  });
  const VmdMotion motion = ReadVmd(bytes, "old.vmd");
  EXPECT_TRUE(motion.oldFormat);
  EXPECT_EQ(motion.modelName, u"ミク");
  ASSERT_EQ(motion.morphs.size(), 1u);
  EXPECT_EQ(motion.morphs[0].morphName, u"あ");
  EXPECT_EQ(motion.morphs[0].frameNumber, 12);
  EXPECT_EQ(motion.morphs[0].weight, 0.5f);
  ASSERT_EQ(motion.cameras.size(), 1u);
  EXPECT_EQ(motion.cameras[0].frameNumber, 3);
  EXPECT_EQ(motion.cameras[0].distance, -45.0f);
  EXPECT_EQ(motion.cameras[0].position[1], 10.0f);
  EXPECT_EQ(motion.cameras[0].viewAngle, 30u);
  EXPECT_FALSE(motion.cameras[0].perspective);
  ASSERT_EQ(motion.lights.size(), 1u);
  EXPECT_EQ(motion.lights[0].direction[1], -1.0f);
  ASSERT_EQ(motion.selfShadows.size(), 1u);
  EXPECT_EQ(motion.selfShadows[0].mode, 1);
  EXPECT_EQ(motion.selfShadows[0].distance, 0.01f);
}

// Every prefix of a file with all sections is refused at the place where it breaks off, unless
// it ends right after a whole section.
TEST(ReadVmd, EachTruncationIsReportedWhereTheFileEnds) {
  const Bytes full = SampleBytes(true);
  const std::size_t bonesEnd = full.size() - 16;
  for (std::size_t size = 0; size < full.size(); ++size) {
    const std::span<const std::uint8_t> prefix(full.data(), size);
    const bool wholeSections = size >= bonesEnd && (size - bonesEnd) % 4 == 0;
    if (wholeSections) {
      EXPECT_NO_THROW(ReadVmd(prefix, "cut.vmd")) << size;
      continue;
    }
    try {
      ReadVmd(prefix, "cut.vmd");
      ADD_FAILURE() << "accepted " << size << " bytes";
    } catch (const VmdFormatError& error) {
      EXPECT_EQ(error.offset(), size);
      const std::string expected = "cut.vmd: " + std::to_string(size) + " バイト目で途切れています";
      EXPECT_EQ(std::string(error.what()).substr(0, expected.size()), expected) << size;
    }
  }
}

struct HostileCase {
  const char* label;
  Bytes bytes;
  std::uint64_t offset;
  const char* message;
};

TEST(ReadVmd, RefusesHostileBytesWithTheirPlace) {
  const Bytes header = Concat({Field("Vocaloid Motion Data 0002", 30), Zeros(20)});
  const HostileCase cases[] = {
      {"empty", {}, 0, "x.vmd: 0 バイト目で途切れています (署名の途中)"},
      {"not a VMD file", Bytes(60, 'A'), 0,
       "x.vmd: VMD ファイルではありません (0 バイト目の署名が違います)"},
      {"4 GB bone count", Concat({header, U32(0xFFFFFFFF)}), 54,
       "x.vmd: 54 バイト目で途切れています (50 バイト目のボーンのキーフレームの数 4294967295 "
       "に足りません)"},
      {"count one more than there is", Concat({header, U32(1), Zeros(110)}), 164,
       "x.vmd: 164 バイト目で途切れています (50 バイト目のボーンのキーフレームの数 1 "
       "に足りません)"},
      {"huge morph count", Concat({header, U32(0), U32(0x7FFFFFFF), Zeros(30)}), 88,
       "x.vmd: 88 バイト目で途切れています (54 バイト目のモーフのキーフレームの数 2147483647 "
       "に足りません)"},
      {"cut inside the light count", Concat({header, U32(0), U32(0), U32(0), Bytes{1, 2}}), 64,
       "x.vmd: 64 バイト目で途切れています (照明のキーフレームの数の途中)"},
  };
  for (const auto& c : cases) {
    try {
      ReadVmd(c.bytes, "x.vmd");
      ADD_FAILURE() << c.label << ": accepted";
    } catch (const VmdFormatError& error) {
      EXPECT_EQ(error.offset(), c.offset) << c.label;
      EXPECT_STREQ(error.what(), c.message) << c.label;
    }
  }
}

TEST(ReadVmdFile, ReadsAFileAndNamesAMissingOne) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("pavaneflow_vmd_reader_test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const auto path = folder / "motion.vmd";
  MotionDocument document;
  FillSample(document);
  SaveVmdFile(document, path);
  ExpectSameFrames(document, ReadVmdFile(path));
  EXPECT_THROW(ReadVmdFile(folder / "missing.vmd"), FileError);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace pavaneflow
