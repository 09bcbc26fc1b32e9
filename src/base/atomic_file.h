#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "base/durable_file.h"

namespace pavaneflow {

// A file written all or nothing. The bytes go to a new temporary file in the target's folder;
// Commit syncs it to disk and renames it over the target. Until then the target is untouched,
// and an AtomicFile destroyed without a successful Commit removes its temporary file.
//
// A new file gets the permissions 0666 less the umask; a replaced file keeps its permissions. An
// existing target that is not writable is refused, as opening it for writing would be. Every
// failure throws FileError naming the target and the operating system's reason, after removing
// the temporary file.
class AtomicFile : public DurableFile {
 public:
  // The call that writes to a file descriptor, with the contract of POSIX write(); replaceable
  // so that a test can make writing fail.
  using WriteCall = std::function<ssize_t(int fd, const void* data, std::size_t size)>;

  explicit AtomicFile(std::filesystem::path target, WriteCall write = {});
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile() override;

  // Writes all bytes to the temporary file (unbuffered: the caller buffers). Where the system
  // allows, room is reserved ahead in large pieces, and every few megabytes are handed to the
  // disk at once, so that Commit has little left to wait for.
  void Write(const std::uint8_t* data, std::size_t size) override;
  // Writes over bytes already written or extended, starting `offset` bytes into the file (a
  // header whose count is known only at the end, columns filled in row by row); the file must
  // already reach past them. Every few megabytes are handed to the disk, as by Write.
  void WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size) override;
  // Makes the file `size` bytes longer without writing them (they read as zeros until written).
  void Extend(std::uint64_t size) override;
  // Tells how many bytes the file will have, so that the file system can set aside room for all
  // of them at once. Only a hint: the file still grows with what is written.
  void Reserve(std::uint64_t size) override;
  // Gives back reserved room beyond the bytes written, then syncs, closes and renames the
  // temporary file over the target. Once only.
  void Commit() override;

  const std::filesystem::path& target() const { return target_; }

 private:
  [[noreturn]] void Fail(int error);
  void Discard();
  void StartWriteBack();

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  WriteCall write_;
  int fd_ = -1;
  std::uint64_t written_ = 0;         // bytes in the temporary file
  std::uint64_t writeBackStart_ = 0;  // where the bytes not yet handed to the disk begin
  std::uint64_t reserved_ = 0;        // bytes of room asked for
  std::uint64_t writtenAt_ = 0;       // bytes written by WriteAt not yet handed to the disk
};

}  // namespace pavaneflow
