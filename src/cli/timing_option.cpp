#include "cli/timing_option.h"

#include "cli/choice_option.h"
#include "cli/translation.h"

namespace pavaneflow::cli {

void AddTimingOption(CLI::App& command, ChartTiming& timing) {
  AddChoiceOption(command, "--timing", timing,
                  {{"classic", ChartTiming::kClassic}, {"game", ChartTiming::kGame}},
                  Tr("classic (default): one tempo, as the first readers read it; game: tempo "
                     "changes, stops and every bracket, as dance games play the chart. DWI files "
                     "only: .sm and .ssc files are always timed as the games time them"));
}

const char* TimingName(ChartTiming timing) {
  return timing == ChartTiming::kGame ? "game" : "classic";
}

}  // namespace pavaneflow::cli
