#pragma once

#include <filesystem>

#include "motion/generation_request.h"
#include "motion/motion_style.h"
#include "vmd/motion_document.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {

// Fills `document` (emptied first) with the dance for `request`; the model name is set too.
// `settled`, if given, hears as the frames become final, so that they can be written meanwhile.
void Synthesize(const GenerationRequest& request, MotionDocument& document,
                const SettledFrames& settled = {});

// Synthesises the dance for `request` and writes it as a VMD file at `path`, with `options` as
// the request's motion style adjusts them. Throws FileError
// when the file cannot be written (the previous file at `path` is then left as it was).
void Run(const GenerationRequest& request, const std::filesystem::path& path,
         const VmdWriteOptions& options = {});
// The same, with the dance left in `document` (emptied first).
void Run(const GenerationRequest& request, MotionDocument& document,
         const std::filesystem::path& path, const VmdWriteOptions& options = {});

}  // namespace pavaneflow
