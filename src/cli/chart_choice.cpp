#include "cli/chart_choice.h"

#include "chart/score.h"
#include "cli/terminal_text.h"

namespace pavaneflow::cli {

std::optional<DanceSetup> ChooseChart(const SongDocument& song, const std::filesystem::path& input,
                                      DanceSetup setup, const char* instead, std::ostream& err,
                                      std::string& problem) {
  const auto count = song.scores.size();
  const int number = setup.chart + 1;
  if (setup.chart < 0 || static_cast<std::size_t>(setup.chart) >= count) {
    problem = input.string() + ": there is no chart " + std::to_string(number) + " (the file has " +
              std::to_string(count) + ")";
    return std::nullopt;
  }
  const Score& score = *song.scores[static_cast<std::size_t>(setup.chart)];
  if (setup.player != 1 || score.mode == kCouple) return setup;
  err << input.string() << ": chart " << number << " (" << TerminalText(score.name)
      << ") is not a COUPLE chart: " << instead << '\n';
  setup.player = 0;
  return setup;
}

}  // namespace pavaneflow::cli
