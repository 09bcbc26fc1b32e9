#include "cli/chart_choice.h"

#include <system_error>

#include "chart/dwi_document.h"
#include "chart/score.h"
#include "cli/not_a_chart.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"
#include "motion/setup/open_song.h"
#include "vmd/vmd_signature.h"

namespace pavaneflow::cli {

std::optional<DanceSetup> ChooseChart(const SongDocument& song, const std::filesystem::path& input,
                                      DanceSetup setup, const char* instead, std::ostream& err,
                                      std::string& problem) {
  const auto count = song.scores.size();
  const int number = setup.chart + 1;
  if (count == 0) {
    problem = NoChartMessage(input);
    return std::nullopt;
  }
  if (setup.chart < 0 || static_cast<std::size_t>(setup.chart) >= count) {
    problem = Fill(Tr("{1}: --chart needs a number from 1 to {2}; there is no chart {3}"),
                   {input.string(), std::to_string(count), std::to_string(number)});
    return std::nullopt;
  }
  const Score& score = *song.scores[static_cast<std::size_t>(setup.chart)];
  if (setup.player != 1 || score.mode == kCouple) return setup;
  err << Fill(Tr("{1}: chart {2} ({3}) is not a COUPLE chart: {4}"),
              {input.string(), std::to_string(number), TerminalText(score.name), instead})
      << '\n';
  setup.player = 0;
  return setup;
}

std::string ChartNumberNeeded(const std::filesystem::path& file) {
  DWIDocument song;
  std::error_code error;
  if (!file.empty() && std::filesystem::is_regular_file(file, error) && !IsVmdFile(file) &&
      OpenSong(song, file, DanceSetup()) && !song.scores.empty()) {
    return Fill(Tr("--chart needs a chart number (1 to {1})"),
                {std::to_string(song.scores.size())});
  }
  return Tr("--chart needs a chart number (1 to the number of charts; info lists them)");
}

}  // namespace pavaneflow::cli
