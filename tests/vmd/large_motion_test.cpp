// Motions larger than the archive's buffer: records cut by a flush must come out whole, in memory
// and on disk alike.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/vmd_bytes.h"
#include "support/vmd_test_reader.h"
#include "vmd/byte_archive.h"
#include "vmd/motion_document.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {
namespace {

using test::SerializeVmd;

TEST(LargeMotion, RecordsAcrossBufferBoundariesReadBackWhole) {
  constexpr std::size_t kRecordSize = 111;
  const std::size_t count = 3 * ByteArchive::kBufferSize / kRecordSize + 7;
  MotionDocument motion;
  motion.modelName = u"初音ミク";
  std::vector<InterpolationBytes> interpolations(count);
  for (std::size_t i = 0; i < count; ++i) {
    MotionFrame* frame =
        motion.InsertFrame(i % 2 ? u"センター" : u"左足ＩＫ", static_cast<std::int32_t>(i / 3));
    frame->position = {static_cast<float>(i), -0.5f, 1.0f};
    interpolations[i][i % 64] = static_cast<std::uint8_t>(i);
    frame->interpolation = &interpolations[i];
  }

  const std::vector<std::uint8_t> bytes = SerializeVmd(motion);
  ASSERT_EQ(bytes.size(), 54 + kRecordSize * count);
  std::string error;
  const auto read = test::ReadVmd(bytes, &error);
  ASSERT_TRUE(read) << error;
  ASSERT_EQ(read->frames.size(), count);
  const std::string names[2] = {read->frames[0].boneName, read->frames[1].boneName};
  EXPECT_NE(names[0], names[1]);
  for (std::size_t i = 0; i < count; ++i) {
    const test::VmdBoneFrame& frame = read->frames[i];
    SCOPED_TRACE("frame " + std::to_string(i));
    EXPECT_EQ(frame.boneName, names[i % 2]);
    EXPECT_EQ(frame.frameNumber, static_cast<std::int32_t>(i / 3));
    EXPECT_EQ(frame.position[0], static_cast<float>(i));
    EXPECT_EQ(frame.rotation[3], 1.0f);
    EXPECT_EQ(frame.interpolation, interpolations[i]);
    if (HasFailure()) break;
  }

  const auto path = std::filesystem::temp_directory_path() /
                    ("pavaneflow-large-" + std::to_string(::getpid()) + ".vmd");
  SaveVmdFile(motion, path);
  EXPECT_EQ(test::ReadFileBytes(path), bytes);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace pavaneflow
