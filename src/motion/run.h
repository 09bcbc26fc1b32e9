#pragma once

#include <filesystem>

#include "motion/generation_request.h"
#include "vmd/motion_document.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {

// Fills `document` (emptied first) with the dance for `request`; the model name is set too.
void Synthesize(const GenerationRequest& request, MotionDocument& document);

// Synthesises the dance for `request` and writes it as a VMD file at `path`. Throws FileError
// when the file cannot be written (the previous file at `path` is then left as it was).
void Run(const GenerationRequest& request, const std::filesystem::path& path,
         const VmdWriteOptions& options = {});

}  // namespace pavaneflow
