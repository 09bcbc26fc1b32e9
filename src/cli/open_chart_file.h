#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "chart/dwi_document.h"
#include "motion/setup/dance_setup.h"

namespace pavaneflow::cli {

// How opening a chart file for a dance ended.
enum class ChartFile {
  kOpened,
  kNotRead,  // a VMD motion, or a file that could not be opened or read
  kNoChart,  // read, but it holds no chart
  kNoTempo,  // read, but its charts have no usable tempo
};

// Reads `file` into `song` for a command that dances one of its charts, under `setup`'s reading
// rules: a VMD motion is refused before it is read, the reading problems go to `err` as
// ReadingReport words them (every one with `allErrors`), and a file without any chart or without
// a usable tempo is refused after them. Anything but kOpened leaves the refusal or the reason the
// file could not be read in `problem`.
ChartFile OpenChartFile(DWIDocument& song, const std::filesystem::path& file,
                        const DanceSetup& setup, bool allErrors, std::ostream& err,
                        std::string& problem);

}  // namespace pavaneflow::cli
