#include "motion/setup/chart_outputs.h"

#include <string>

#include "motion/setup/output_name.h"

namespace pavaneflow {

std::vector<DanceSetup> EveryChart(const SongDocument& song, DanceSetup setup) {
  std::vector<DanceSetup> setups;
  for (std::size_t i = 0; i < song.scores.size(); ++i) {
    setup.chart = static_cast<int>(i);
    setup.player = 0;
    setups.push_back(setup);
    setup.player = 1;
    if (song.scores[i]->mode == kCouple) setups.push_back(setup);
  }
  return setups;
}

std::filesystem::path OutputNames::Unique(std::filesystem::path path) {
  const std::string stem = path.stem().string();
  const std::string extension = path.extension().string();
  for (int n = 2; !taken_.insert(path.lexically_normal()).second; ++n) {
    path.replace_filename(stem + "-" + std::to_string(n) + extension);
  }
  return path;
}

std::vector<ChartOutput> EveryChartOutput(const SongDocument& song,
                                          const std::filesystem::path& input,
                                          const std::filesystem::path& folder,
                                          const DanceSetup& setup, OutputNames& names) {
  std::vector<ChartOutput> outputs;
  for (const DanceSetup& one : EveryChart(song, setup)) {
    const Score& score = *song.scores[static_cast<std::size_t>(one.chart)];
    const char* suffix = score.mode != kCouple ? "" : one.player == 0 ? "_1P" : "_2P";
    outputs.push_back({one, names.Unique(folder / ChartFileName(input, score.name, suffix))});
  }
  return outputs;
}

}  // namespace pavaneflow
