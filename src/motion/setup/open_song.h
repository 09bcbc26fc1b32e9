#pragma once

#include <filesystem>

#include "chart/dwi_document.h"
#include "motion/setup/dance_setup.h"

namespace pavaneflow {

// Empties `song` and reads the chart file at `path` into it under the reading rules of `setup`
// (its timing). The problems found are left in `song` (LastErrors) and shown through its error
// reporter, if any. False when the file could not be opened or read: `song` then holds what was
// read up to the failure and OpenError() names the path and the operating system's reason.
bool OpenSong(DWIDocument& song, const std::filesystem::path& path, const DanceSetup& setup);

}  // namespace pavaneflow
