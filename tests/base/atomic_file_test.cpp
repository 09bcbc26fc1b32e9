#include "base/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "base/file_error.h"
#include "support/vmd_bytes.h"
#include "support/vmd_test_reader.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {
namespace {

using test::SerializeVmd;

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<MotionDocument> Motion(int frames) {
  auto document = std::make_unique<MotionDocument>();
  document->modelName = u"初音ミク";
  for (int i = 0; i < frames; ++i) document->InsertFrame(i % 2 ? u"センター" : u"首", i);
  return document;
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

class AtomicFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::path(testing::TempDir()) / "atomic_file_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    target_ = folder_ / "dance.vmd";
  }
  void TearDown() override {
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder_);
  }

  void WriteOld(const Bytes& bytes) {
    std::ofstream out(target_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  fs::path folder_;
  fs::path target_;
  const Bytes old_ = Bytes(300, 0xAB);
};

TEST_F(AtomicFileTest, WritesANewFileWithTheUsualPermissions) {
  // Beyond one 1 MiB buffer, and beyond the megabytes after which writing to disk starts early.
  const auto document = Motion(100'000);
  SaveVmdFile(*document, target_);
  EXPECT_EQ(test::ReadFileBytes(target_), SerializeVmd(*document));
  EXPECT_EQ(Listing(), std::set<std::string>{"dance.vmd"});
  struct stat info {};
  ASSERT_EQ(::stat(target_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~CurrentUmask());
}

TEST_F(AtomicFileTest, ReplacesAnOldFileAndKeepsItsPermissions) {
  WriteOld(old_);
  ASSERT_EQ(::chmod(target_.c_str(), 0640), 0);
  const auto document = Motion(3);
  SaveVmdFile(*document, target_, {.appendEmptySections = true});
  EXPECT_EQ(test::ReadFileBytes(target_), SerializeVmd(*document, {.appendEmptySections = true}));
  struct stat info {};
  ASSERT_EQ(::stat(target_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(Listing(), std::set<std::string>{"dance.vmd"});
}

TEST_F(AtomicFileTest, FailingWriteLeavesTheOldFileAndNoTemporaryFile) {
  struct Case {
    const char* label;
    std::size_t acceptedBytes;  // before the failure
    ssize_t result;             // of the failing call
    int error;
    const char* reason;
  };
  const Case cases[] = {
      {"full disk at once", 0, -1, ENOSPC, "No space left on device"},
      {"full disk after the first buffer", 1 << 20, -1, ENOSPC, "No space left on device"},
      {"full disk inside a record", 5000, -1, ENOSPC, "No space left on device"},
      {"input/output error", 100, -1, EIO, "Input/output error"},
      {"write takes nothing", 54, 0, 0, "No space left on device"},
      {"full disk after writing to disk began", 9 << 20, -1, ENOSPC, "No space left on device"},
  };
  const auto document = Motion(100'000);
  for (const auto& c : cases) {
    WriteOld(old_);
    std::size_t written = 0;
    auto write = [&](int fd, const void* data, std::size_t size) -> ssize_t {
      if (written >= c.acceptedBytes) {
        errno = c.error;
        return c.result;
      }
      // Partial writes, as a nearly full disk gives them.
      const std::size_t n = std::min(size, c.acceptedBytes - written);
      const ssize_t done = ::write(fd, data, n);
      if (done > 0) written += static_cast<std::size_t>(done);
      return done;
    };
    try {
      AtomicFile file(target_, write);
      ByteArchive archive(file, ByteArchive::Mode::kStore);
      Serialize(*document, archive);
      archive.Flush();
      file.Commit();
      ADD_FAILURE() << c.label << ": no error";
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), target_) << c.label;
      EXPECT_EQ(error.reason(), c.reason) << c.label;
    }
    EXPECT_EQ(test::ReadFileBytes(target_), old_) << c.label;
    EXPECT_EQ(Listing(), std::set<std::string>{"dance.vmd"}) << c.label;
  }
}

TEST_F(AtomicFileTest, AbandonedFileLeavesNothingBehind) {
  WriteOld(old_);
  {
    AtomicFile file(target_);
    const std::uint8_t bytes[] = {1, 2, 3};
    file.Write(bytes, sizeof bytes);
    EXPECT_EQ(Listing().size(), 2u);
  }
  EXPECT_EQ(test::ReadFileBytes(target_), old_);
  EXPECT_EQ(Listing(), std::set<std::string>{"dance.vmd"});
}

TEST_F(AtomicFileTest, ReservedRoomIsNotPartOfTheFileNorKeptOnDisk) {
  // Asked for, or reserved ahead by writing: either way the room left over goes back.
  for (const std::uint64_t reserve : {std::uint64_t{0}, std::uint64_t{64} << 20}) {
    AtomicFile file(target_);
    if (reserve > 0) file.Reserve(reserve);
    const std::uint8_t bytes[] = {1, 2, 3};
    file.Write(bytes, sizeof bytes);
    file.Commit();
    EXPECT_EQ(test::ReadFileBytes(target_), Bytes({1, 2, 3})) << reserve;
    struct stat info {};
    ASSERT_EQ(::stat(target_.c_str(), &info), 0);
    EXPECT_LE(info.st_blocks * 512, 1 << 20) << reserve;
  }
}

// A file made out of order: room made at once, then filled in from the back, a few megabytes
// at a time (more than is handed to the disk at once), with bytes written after it as usual.
TEST_F(AtomicFileTest, ExtendedRoomIsFilledInAnyOrder) {
  constexpr std::size_t kPiece = 3 << 20;
  constexpr std::size_t kPieces = 7;
  AtomicFile file(target_);
  const std::uint8_t head[] = {9, 8};
  file.Write(head, sizeof head);
  file.Extend(kPieces * kPiece);
  const std::uint8_t tail[] = {7};
  file.Write(tail, sizeof tail);
  for (std::size_t p = kPieces; p-- > 0;) {
    const Bytes piece(kPiece, static_cast<std::uint8_t>(p + 1));
    file.WriteAt(sizeof head + p * kPiece, piece.data(), piece.size());
  }
  EXPECT_THROW(file.WriteAt(sizeof head + kPieces * kPiece, head, sizeof head), std::logic_error);
  file.Commit();
  const Bytes written = test::ReadFileBytes(target_);
  ASSERT_EQ(written.size(), sizeof head + kPieces * kPiece + sizeof tail);
  EXPECT_EQ(written[0], 9);
  EXPECT_EQ(written.back(), 7);
  for (std::size_t p = 0; p < kPieces; ++p) {
    EXPECT_EQ(written[sizeof head + p * kPiece], p + 1) << p;
    EXPECT_EQ(written[sizeof head + (p + 1) * kPiece - 1], p + 1) << p;
  }
}

TEST_F(AtomicFileTest, MissingFolderIsAClearErrorAndCreatesNothing) {
  const fs::path target = folder_ / "missing" / "dance.vmd";
  try {
    SaveVmdFile(*Motion(1), target);
    FAIL() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), target);
    EXPECT_EQ(error.reason(), "No such file or directory");
    EXPECT_EQ(std::string(error.what()), target.string() + ": No such file or directory");
  }
  EXPECT_TRUE(Listing().empty());
}

TEST_F(AtomicFileTest, TargetThatIsAFolderIsRefusedWithoutLeftovers) {
  fs::create_directory(target_);
  EXPECT_THROW(SaveVmdFile(*Motion(1), target_), FileError);
  EXPECT_TRUE(fs::is_directory(target_));
  EXPECT_EQ(Listing(), std::set<std::string>{"dance.vmd"});
}

TEST_F(AtomicFileTest, ReadOnlyFolderOrFileIsRefused) {
  WriteOld(old_);
  ASSERT_EQ(::chmod(target_.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
  if (::access(folder_.c_str(), W_OK) == 0) GTEST_SKIP() << "running with rights that ignore modes";
  for (const fs::path& target : {target_, folder_ / "new.vmd"}) {
    try {
      SaveVmdFile(*Motion(1), target);
      ADD_FAILURE() << target << ": no error";
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), target);
      EXPECT_EQ(error.reason(), "Permission denied");
    }
  }
  ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
  EXPECT_EQ(test::ReadFileBytes(target_), old_);
  EXPECT_EQ(Listing(), std::set<std::string>{"dance.vmd"});
  // A read-only file in a writable folder is not replaced behind its back either.
  EXPECT_THROW(SaveVmdFile(*Motion(1), target_), FileError);
  EXPECT_EQ(test::ReadFileBytes(target_), old_);
}

}  // namespace
}  // namespace pavaneflow
