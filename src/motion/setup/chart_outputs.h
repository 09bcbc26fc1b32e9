#pragma once

#include <filesystem>
#include <set>
#include <vector>

#include "chart/song_document.h"
#include "motion/setup/dance_setup.h"

namespace pavaneflow {

// What writing every chart dances: `setup` on every chart of `song` in order, a COUPLE chart once
// for each player.
std::vector<DanceSetup> EveryChart(const SongDocument& song, DanceSetup setup);

// The motion files of one run, each named apart: two charts of one name, or two songs of one stem
// sent to one folder, would overwrite each other's motion.
class OutputNames {
 public:
  // `path`, or when it was given out before, the same name with "-2", "-3", ... before the
  // extension.
  std::filesystem::path Unique(std::filesystem::path path);

 private:
  std::set<std::filesystem::path> taken_;
};

// One motion file to write: the dance of which chart, for which player, and where.
struct ChartOutput {
  DanceSetup setup;
  std::filesystem::path path;
};

// Every chart of `song`, read from `input`, as a motion file in `folder`, named
// "<stem>_<chart name>.vmd" with "_1P" and "_2P" for the players of a COUPLE chart, each name made
// unique in `names`.
std::vector<ChartOutput> EveryChartOutput(const SongDocument& song,
                                          const std::filesystem::path& input,
                                          const std::filesystem::path& folder,
                                          const DanceSetup& setup, OutputNames& names);

}  // namespace pavaneflow
