#include "vmd/vmd_file_writer.h"

#include <array>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace pavaneflow {

namespace {

// About a megabyte of records: few enough hand-overs to cost nothing, small enough that the
// thread starts early and has little left at the end.
constexpr std::size_t kBatchFrames = 8192;

}  // namespace

VmdFileWriter::VmdFileWriter(const MotionDocument& document, const std::filesystem::path& path,
                             const VmdWriteOptions& options, AtomicFile::WriteCall write)
    : document_(document), path_(path), options_(options) {
  file_.emplace(path_, std::move(write));
  archive_.emplace(*file_, ByteArchive::Mode::kStore);
  // Room for the header, written when the count is known.
  archive_->Write(VmdHeader{});
  try {
    thread_ = std::thread(&VmdFileWriter::WriteRuns, this);
    streaming_ = true;
  } catch (const std::system_error&) {
    // No thread to be had: Commit writes everything at the end.
  }
}

VmdFileWriter::~VmdFileWriter() {
  Stop(true);
}

void VmdFileWriter::Settled(std::size_t count) {
  if (!streaming_ || count < handed_ + kBatchFrames) return;
  if (!document_.InCreationOrder()) {
    // Frames already handed over may have moved: Commit starts again.
    Stop(true);
    return;
  }
  Hand(count);
}

void VmdFileWriter::Hand(std::size_t count) {
  {
    std::lock_guard lock(mutex_);
    document_.ForEachRun(handed_, count, [this](const MotionFrame* first, std::size_t n) {
      runs_.push_back({first, n});
    });
  }
  handed_ = count;
  wake_.notify_one();
}

void VmdFileWriter::Stop(bool abandon) {
  if (thread_.joinable()) {
    {
      std::lock_guard lock(mutex_);
      (abandon ? abandoned_ : finishing_) = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  if (abandon) streaming_ = false;
}

void VmdFileWriter::WriteRuns() {
  std::vector<Run> runs;
  try {
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return !runs_.empty() || finishing_ || abandoned_; });
        if (abandoned_ || runs_.empty()) return;
        runs.swap(runs_);
      }
      for (const Run& run : runs) {
        for (const MotionFrame* frame = run.first; frame != run.first + run.count; ++frame) {
          PutVmdBoneFrame(archive_->Claim(kVmdBoneFrameSize), *frame,
                          boneNames_[frame->internedBoneName()]);
        }
      }
      runs.clear();
    }
  } catch (...) {
    std::lock_guard lock(mutex_);
    error_ = std::current_exception();
  }
}

void VmdFileWriter::Commit() {
  const std::size_t count = document_.FrameCount();
  if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::length_error("too many key frames for a VMD file");
  }
  if (!streaming_ || !document_.InCreationOrder()) {
    Stop(true);
    // The temporary file goes before the plain way makes its own.
    archive_.reset();
    file_.reset();
    SaveVmdFile(document_, path_, options_);
    return;
  }
  Hand(count);
  Stop(false);
  if (error_) std::rethrow_exception(error_);
  if (options_.appendEmptySections)
    archive_->Write(std::array<std::uint8_t, kVmdEmptySectionsSize>{});
  archive_->Flush();
  const VmdHeader header = MakeVmdHeader(document_.modelName, static_cast<std::int32_t>(count));
  file_->WriteAt(0, header.data(), header.size());
  file_->Commit();
}

}  // namespace pavaneflow
