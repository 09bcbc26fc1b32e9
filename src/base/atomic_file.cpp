#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <stdexcept>
#include <string>

#include "base/file_error.h"

namespace pavaneflow {

namespace {

constexpr int kNameAttempts = 100;
// How many written bytes collect before they are handed to the disk: large enough that the call
// is rare, small enough that the disk starts early and has little left for the final sync.
constexpr std::uint64_t kWriteBackStep = 8 << 20;
// Leaves room for the dot, the suffix and its dot within the 255-byte limit of a name.
constexpr std::size_t kMaxNameStem = 64;

std::string RandomSuffix() {
  static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string suffix(8, ' ');
  for (char& c : suffix) c = kAlphabet[pick(generator)];
  return suffix;
}

ssize_t SystemWrite(int fd, const void* data, std::size_t size) {
  return ::write(fd, data, size);
}

// Hands all `size` bytes to `write`, which has the contract of POSIX write(), as often as it
// takes; 0, or the error that stopped it.
template <typename Write>
int WriteFully(const std::uint8_t* data, std::size_t size, Write write) {
  while (size > 0) {
    const ssize_t written = write(data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    // A regular file that takes nothing is full.
    if (written == 0) return ENOSPC;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target, WriteCall write)
    : target_(std::move(target)), write_(std::move(write)) {
  if (!write_) write_ = SystemWrite;
  struct stat existing {};
  const bool replacing = ::stat(target_.c_str(), &existing) == 0;
  // Replacing a read-only file by renaming would get around its protection.
  if (replacing && S_ISREG(existing.st_mode) && ::access(target_.c_str(), W_OK) != 0) {
    throw FileError::FromErrno(target_, errno);
  }

  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  const std::string stem = target_.filename().string().substr(0, kMaxNameStem);
  // Our own exclusive create rather than mkstemp: mode 0666 lets the umask and default ACLs
  // apply as for any new file, where mkstemp would give 0600.
  for (int attempt = 0; attempt < kNameAttempts && fd_ < 0; ++attempt) {
    temporary_ = folder / ("." + stem + "." + RandomSuffix());
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) throw FileError::FromErrno(target_, errno);
  if (replacing && S_ISREG(existing.st_mode) && ::fchmod(fd_, existing.st_mode & 07777) != 0) {
    Fail(errno);
  }
}

AtomicFile::~AtomicFile() {
  Discard();
}

void AtomicFile::Discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(temporary_.c_str());
  fd_ = -1;
}

void AtomicFile::Fail(int error) {
  Discard();
  throw FileError::FromErrno(target_, error);
}

void AtomicFile::Write(const std::uint8_t* data, std::size_t size) {
  if (fd_ < 0) throw std::logic_error("AtomicFile written after it was closed");
  // Room ahead, twice what the file will then hold: a file of unknown size gets its blocks in
  // a few large pieces too. Commit gives back what is left over.
  if (written_ + size > reserved_)
    Reserve(std::max<std::uint64_t>(2 * (written_ + size), kWriteBackStep));
  const int error = WriteFully(data, size, [this](const std::uint8_t* bytes, std::size_t n) {
    return write_(fd_, bytes, n);
  });
  if (error != 0) Fail(error);
  written_ += size;
  if (written_ - writeBackStart_ >= kWriteBackStep) StartWriteBack();
}

void AtomicFile::WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
  if (fd_ < 0) throw std::logic_error("AtomicFile written after it was closed");
  if (offset + size > written_)
    throw std::logic_error("AtomicFile::WriteAt past the written bytes");
  const int error =
      WriteFully(data, size, [this, &offset](const std::uint8_t* bytes, std::size_t n) {
        const ssize_t written = ::pwrite(fd_, bytes, n, static_cast<off_t>(offset));
        if (written > 0) offset += static_cast<std::uint64_t>(written);
        return written;
      });
  if (error != 0) Fail(error);
  writtenAt_ += size;
  if (writtenAt_ >= kWriteBackStep) {
#ifdef __linux__
    // The bytes lie anywhere in the file: the whole of it is asked for, of which the system
    // writes only what it has not yet.
    ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    writtenAt_ = 0;
  }
}

void AtomicFile::Extend(std::uint64_t size) {
  if (fd_ < 0) throw std::logic_error("AtomicFile extended after it was closed");
  if (written_ + size > reserved_) Reserve(written_ + size);
  if (::ftruncate(fd_, static_cast<off_t>(written_ + size)) != 0) Fail(errno);
  written_ += size;
  // Write goes on after the new bytes: the file's offset does not move with its size.
  if (::lseek(fd_, static_cast<off_t>(written_), SEEK_SET) < 0) Fail(errno);
  // Nothing to hand to the disk: the new bytes are a hole until written.
  writeBackStart_ = written_;
}

void AtomicFile::Reserve(std::uint64_t size) {
#ifdef __linux__
  // Allocating the blocks in one go spares the file system reserving them page by page. A file
  // system that cannot do it simply allocates as the bytes come.
  ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size));
#endif
  // Also where it failed: asking again would fail again.
  reserved_ = std::max(reserved_, size);
}

void AtomicFile::StartWriteBack() {
#ifdef __linux__
  // Starts the disk writing without waiting for it. Only a head start: the result is not
  // checked, as Commit's fsync reports every failure that matters.
  ::sync_file_range(fd_, static_cast<off_t>(writeBackStart_),
                    static_cast<off_t>(written_ - writeBackStart_), SYNC_FILE_RANGE_WRITE);
#endif
  // Elsewhere POSIX has no call that starts writing without waiting for it; the final sync
  // does it all.
  writeBackStart_ = written_;
}

void AtomicFile::Commit() {
  if (fd_ < 0) throw std::logic_error("AtomicFile committed after it was closed");
  // Setting the size it already has frees the blocks reserved beyond it.
  if (reserved_ > written_ && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0) Fail(errno);
  if (::fsync(fd_) != 0) Fail(errno);
  // close may report a late write error (network file systems); the data is then not safe.
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temporary_.c_str());
    throw FileError::FromErrno(target_, error);
  }
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary_.c_str());
    throw FileError::FromErrno(target_, error);
  }
  // Make the rename itself durable. The new file is already in place, so a failure here is not
  // reported: the data is safe as far as the file system promises without it.
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    ::fsync(folderFd);
    ::close(folderFd);
  }
}

}  // namespace pavaneflow
