#include "cli/chart_choice.h"

#include "cli/terminal_text.h"

namespace pavaneflow::cli {

std::optional<ChartChoice> ChooseChart(const SongDocument& song, const std::filesystem::path& input,
                                       int chart, int player, const char* instead,
                                       std::ostream& err, std::string& problem) {
  const auto count = song.scores.size();
  if (chart < 1 || static_cast<std::size_t>(chart) > count) {
    problem = input.string() + ": there is no chart " + std::to_string(chart) + " (the file has " +
              std::to_string(count) + ")";
    return std::nullopt;
  }
  const Score& score = *song.scores[static_cast<std::size_t>(chart) - 1];
  if (player != 2) return ChartChoice{&score, 0};
  if (score.mode == kCouple) return ChartChoice{&score, 1};
  err << input.string() << ": chart " << chart << " (" << TerminalText(score.name)
      << ") is not a COUPLE chart: " << instead << '\n';
  return ChartChoice{&score, 0};
}

}  // namespace pavaneflow::cli
