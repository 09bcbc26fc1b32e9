#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "chart/dwi_document.h"
#include "motion/setup/dance_setup.h"

namespace pavaneflow::cli {

// Reads `file` into `song` for a command that dances one of its charts, under `setup`'s reading
// rules: a VMD motion is refused before it is read, the reading problems go to `err` as
// ReadingReport words them (every one with `allErrors`), and a file without any chart is refused
// after them. False when there is nothing to dance, with the refusal or the reason the file could
// not be read in `problem`.
bool OpenChartFile(DWIDocument& song, const std::filesystem::path& file, const DanceSetup& setup,
                   bool allErrors, std::ostream& err, std::string& problem);

}  // namespace pavaneflow::cli
