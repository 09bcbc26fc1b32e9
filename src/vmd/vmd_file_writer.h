#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "base/atomic_file.h"
#include "vmd/byte_archive.h"
#include "vmd/motion_document.h"
#include "vmd/vmd_layout.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {

// Writes a VMD file while its MotionDocument is still being made, with the same bytes and the
// same all-or-nothing promise as SaveVmdFile. A dance is made front to back, so most key frames
// are final long before the last one: a second thread writes those while the rest are made, and
// the file system's work overlaps the synthesis instead of following it.
//
// Should a frame be created out of order, frames already written would move: the thread then
// stops and Commit writes the whole document the plain way. So it does where no thread can be
// started.
//
// Settled and Commit are called from the thread that makes the document, which must outlive
// the writer. Destroyed without a successful Commit, the writer leaves the target untouched.
class VmdFileWriter {
 public:
  // Opens the temporary file beside `path`; throws FileError as SaveVmdFile would. `write`
  // replaces the system call as in AtomicFile, for the file written meanwhile.
  VmdFileWriter(const MotionDocument& document, const std::filesystem::path& path,
                const VmdWriteOptions& options = {}, AtomicFile::WriteCall write = {});
  VmdFileWriter(const VmdFileWriter&) = delete;
  VmdFileWriter& operator=(const VmdFileWriter&) = delete;
  ~VmdFileWriter();

  // The first `count` key frames in order of creation will not change any more. Cheap: the
  // frames are handed to the thread in batches.
  void Settled(std::size_t count);
  // Writes what is left and puts the file in place. Throws FileError naming the target, or
  // std::length_error for more key frames than a VMD file can count; the target is then
  // untouched. Once only.
  void Commit();

 private:
  struct Run {
    const MotionFrame* first;
    std::size_t count;
  };

  void Hand(std::size_t count);
  void Stop(bool abandon);
  void WriteRuns();

  const MotionDocument& document_;
  std::filesystem::path path_;
  VmdWriteOptions options_;

  std::optional<AtomicFile> file_;
  std::optional<ByteArchive> archive_;  // the thread's until it ends
  VmdBoneNames boneNames_;              // likewise
  std::size_t handed_ = 0;              // frames handed to the thread
  bool streaming_ = false;              // the thread runs and the frames are in order

  std::mutex mutex_;
  std::condition_variable wake_;
  // Under mutex_:
  std::vector<Run> runs_;   // handed over, not yet written
  bool finishing_ = false;  // nothing more comes: write what is left and end
  bool abandoned_ = false;  // end at once
  std::exception_ptr error_;
  std::thread thread_;
};

}  // namespace pavaneflow
