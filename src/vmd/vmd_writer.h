#pragma once

#include <filesystem>

#include "base/durable_file.h"
#include "vmd/byte_archive.h"
#include "vmd/motion_document.h"

namespace pavaneflow {

struct VmdWriteOptions {
  // Append the four empty section counts (morph, camera, light, self-shadow): 16 zero bytes that
  // some readers require. Off by default: the file then ends after the bone key frames.
  bool appendEmptySections = false;
};

// Writes `document` to `archive` as VMD: a 54-byte header and 111 bytes per key frame (plus the
// optional 16 bytes). Names are converted to code page 932 and cut to their field by bytes. A
// loading archive is refused with NotSupportedError before anything is written; errors of the
// archive's sink pass through. The bytes may still sit in the archive's buffer afterwards.
void Serialize(const MotionDocument& document, ByteArchive& archive,
               const VmdWriteOptions& options = {});

// Writes `document` as VMD into `file` and commits it: the file is the VMD's bytes or, when a
// write throws, what it was before.
void WriteVmd(const MotionDocument& document, DurableFile& file,
              const VmdWriteOptions& options = {});

// Writes `document` as a VMD file at `path` (WriteVmd to an AtomicFile), all or nothing: a
// temporary file beside the target, flushed, synced and renamed over it. Throws FileError naming
// `path` and the reason; on failure the previous file at `path` is left untouched and no temporary
// file remains.
void SaveVmdFile(const MotionDocument& document, const std::filesystem::path& path,
                 const VmdWriteOptions& options = {});

}  // namespace pavaneflow
