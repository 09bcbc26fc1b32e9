#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "chart/song_document.h"
#include "motion/setup/dance_setup.h"

namespace pavaneflow::cli {

// `setup` checked against `song`, read from `input`: its chart must exist, and player 2 holds only
// where the chart is a COUPLE chart: for any other chart a note ending in `instead` (already
// translated: "dancing 1P") goes to `err` and 1P is chosen. Without such a chart, nullopt and the
// reason in `problem`: the range of numbers the file has, or that it holds no chart at all.
std::optional<DanceSetup> ChooseChart(const SongDocument& song, const std::filesystem::path& input,
                                      DanceSetup setup, const char* instead, std::ostream& err,
                                      std::string& problem);

// The refusal of `--chart` given without its number: "--chart needs a chart number (1 to N)" with
// the number of charts of `file` when it is one readable chart file (empty: none known), else
// pointing to `info`.
std::string ChartNumberNeeded(const std::filesystem::path& file);

}  // namespace pavaneflow::cli
