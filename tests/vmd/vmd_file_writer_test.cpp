#include "vmd/vmd_file_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "base/file_error.h"
#include "motion/classic/jump_interpolation.h"
#include "support/vmd_bytes.h"
#include "support/vmd_test_reader.h"

namespace pavaneflow {
namespace {

using test::SerializeVmd;

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class VmdFileWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::path(testing::TempDir()) / "vmd_file_writer_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    target_ = folder_ / "dance.vmd";
    std::ofstream(target_, std::ios::binary) << "old";
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  // Makes a dance of `frames` key frames as synthesis does, telling `writer` what is final:
  // every frame but the last, whose interpolation the next one may still change. From frame
  // `fallFrom` on, frame numbers fall, which moves frames already handed to the writer.
  static void Dance(MotionDocument& document, VmdFileWriter& writer, int frames, int fallFrom) {
    static const std::u16string_view bones[] = {u"センター", u"左足ＩＫ", u"右足ＩＫ"};
    document.modelName = u"初音ミク";
    MotionFrame* previous = nullptr;
    for (int i = 0; i < frames; ++i) {
      const int number = i < fallFrom ? i / 3 : frames - i;
      MotionFrame* frame = document.InsertFrame(bones[i % 3], number);
      frame->position = {static_cast<float>(i), 1.5f, -2.0f};
      if (previous != nullptr && i % 7 == 0) previous->interpolation = &kJumpInterpolation;
      previous = frame;
      writer.Settled(document.FrameCount() - 1);
    }
  }

  fs::path folder_;
  fs::path target_;
};

TEST_F(VmdFileWriterTest, WritesTheBytesOfTheWholeDocument) {
  struct Case {
    const char* label;
    int frames;
    int fallFrom;  // frames from here on come out of order
    bool appendEmptySections;
  };
  // Enough frames for many hand-overs across several blocks of frames, and frames out of order
  // before, among and after those handed over.
  const Case cases[] = {
      {"no frames", 0, 0, false},
      {"fewer frames than one hand-over", 13, 13, true},
      {"in order", 50'000, 50'000, false},
      {"in order, with the empty sections", 50'000, 50'000, true},
      {"out of order from the start", 20'000, 1, false},
      {"out of order after frames were written", 50'000, 30'000, true},
      {"out of order in the last frame", 50'000, 49'999, false},
  };
  for (const Case& c : cases) {
    MotionDocument document;
    {
      VmdFileWriter writer(document, target_, {.appendEmptySections = c.appendEmptySections});
      Dance(document, writer, c.frames, c.fallFrom);
      writer.Commit();
    }
    EXPECT_EQ(test::ReadFileBytes(target_),
              SerializeVmd(document, {.appendEmptySections = c.appendEmptySections}))
        << c.label;
    EXPECT_EQ(Listing(), std::set<std::string>{"dance.vmd"}) << c.label;
  }
}

TEST_F(VmdFileWriterTest, FailureOrAbandonLeavesTheOldFileAndNoTemporaryFile) {
  struct Case {
    const char* label;
    std::size_t acceptedBytes;  // before writing fails
    bool commit;
    const char* reason;  // of the FileError from Commit, if it is called
  };
  const Case cases[] = {
      {"full disk while frames are written", 2 << 20, true, "No space left on device"},
      {"full disk on the last bytes", 5'550'000, true, "No space left on device"},
      {"abandoned after frames were written", SIZE_MAX, false, nullptr},
  };
  for (const Case& c : cases) {
    std::size_t written = 0;
    auto write = [&](int fd, const void* data, std::size_t size) -> ssize_t {
      if (written >= c.acceptedBytes) {
        errno = ENOSPC;
        return -1;
      }
      const ssize_t done = ::write(fd, data, std::min(size, c.acceptedBytes - written));
      if (done > 0) written += static_cast<std::size_t>(done);
      return done;
    };
    MotionDocument document;
    try {
      VmdFileWriter writer(document, target_, {}, write);
      Dance(document, writer, 50'000, 50'000);
      if (c.commit) {
        writer.Commit();
        ADD_FAILURE() << c.label << ": no error";
      }
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), target_) << c.label;
      EXPECT_EQ(error.reason(), c.reason) << c.label;
    }
    EXPECT_EQ(test::ReadFileBytes(target_), Bytes({'o', 'l', 'd'})) << c.label;
    EXPECT_EQ(Listing(), std::set<std::string>{"dance.vmd"}) << c.label;
  }
}

TEST_F(VmdFileWriterTest, MissingFolderFailsBeforeAnythingIsMade) {
  const MotionDocument document;
  const fs::path target = folder_ / "missing" / "dance.vmd";
  try {
    VmdFileWriter writer(document, target);
    FAIL() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), target);
    EXPECT_EQ(error.reason(), "No such file or directory");
  }
  EXPECT_EQ(Listing(), std::set<std::string>{"dance.vmd"});
}

}  // namespace
}  // namespace pavaneflow
