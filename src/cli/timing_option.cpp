#include "cli/timing_option.h"

#include <map>
#include <string>

namespace pavaneflow::cli {

void AddTimingOption(CLI::App& command, ChartTiming& timing) {
  const std::map<std::string, ChartTiming> names{{"classic", ChartTiming::kClassic},
                                                 {"game", ChartTiming::kGame}};
  command
      .add_option("--timing", timing,
                  "classic (default): one tempo, as the first readers read it; game: tempo "
                  "changes, stops and every bracket, as dance games play the chart. DWI files "
                  "only: .sm and .ssc files are always timed as the games time them")
      ->transform(CLI::CheckedTransformer(names, CLI::ignore_case));
}

const char* TimingName(ChartTiming timing) {
  return timing == ChartTiming::kGame ? "game" : "classic";
}

}  // namespace pavaneflow::cli
