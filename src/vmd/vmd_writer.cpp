#include "vmd/vmd_writer.h"

#include <array>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "base/atomic_file.h"
#include "vmd/not_supported_error.h"
#include "vmd/vmd_layout.h"

namespace pavaneflow {

namespace {

// The number of bytes that Serialize writes for `document`.
std::size_t FileSize(const MotionDocument& document, const VmdWriteOptions& options) {
  return kVmdHeaderSize + kVmdBoneFrameSize * document.FrameCount() +
         (options.appendEmptySections ? kVmdEmptySectionsSize : 0);
}

}  // namespace

void Serialize(const MotionDocument& document, ByteArchive& archive,
               const VmdWriteOptions& options) {
  if (archive.IsLoading()) throw NotSupportedError("reading VMD files is not supported");
  if (document.FrameCount() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::length_error("too many key frames for a VMD file");
  }
  // Each distinct bone name is encoded once, not once per frame.
  VmdBoneNames boneNames;
  archive.Write(
      MakeVmdHeader(document.modelName, static_cast<std::int32_t>(document.FrameCount())));
  document.ForEachFrame([&](const MotionFrame& frame) {
    // The record goes straight into the archive's buffer: assembled elsewhere first, each of
    // millions of records would be copied twice.
    PutVmdBoneFrame(archive.Claim(kVmdBoneFrameSize), frame, boneNames[frame.internedBoneName()]);
  });
  if (options.appendEmptySections) {
    archive.Write(std::array<std::uint8_t, kVmdEmptySectionsSize>{});
  }
}

void WriteVmd(const MotionDocument& document, DurableFile& file, const VmdWriteOptions& options) {
  file.Reserve(FileSize(document, options));
  ByteArchive archive(file, ByteArchive::Mode::kStore);
  Serialize(document, archive, options);
  archive.Flush();
  file.Commit();
}

void SaveVmdFile(const MotionDocument& document, const std::filesystem::path& path,
                 const VmdWriteOptions& options) {
  AtomicFile file(path);
  WriteVmd(document, file, options);
}

}  // namespace pavaneflow
