#pragma once

#include <filesystem>

#include "base/durable_file.h"
#include "export/dance_figure.h"
#include "export/export_format.h"
#include "motion/generation_request.h"
#include "vmd/motion_document.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {

// Makes the dance of `request` into `document` (emptied first) and writes it at `path` in
// `format`, all or nothing: a VMD file as Run writes it, with `vmd` as the request's motion style
// adjusts them; a VRM Animation or BVH file baked for `figure` (HumanoidBaker). Throws FileError
// naming `path` and the reason, or std::length_error for a dance too long for the format; the
// previous file at `path` is then left as it was.
void ExportDance(const GenerationRequest& request, const DanceFigure& figure, ExportFormat format,
                 MotionDocument& document, const std::filesystem::path& path,
                 const VmdWriteOptions& vmd = {});

// The same into `file` (committed once complete), where there is no file system.
void ExportDance(const GenerationRequest& request, const DanceFigure& figure, ExportFormat format,
                 MotionDocument& document, DurableFile& file, const VmdWriteOptions& vmd = {});

}  // namespace pavaneflow
