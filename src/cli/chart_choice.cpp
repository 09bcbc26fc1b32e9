#include "cli/chart_choice.h"

#include <charconv>
#include <utility>
#include <vector>

#include "cli/choice_option.h"
#include "cli/not_a_chart.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"
#include "cli/usage_error.h"

namespace pavaneflow::cli {

CLI::Option* AddChartOption(CLI::App& command, int& chart) {
  return command
      .add_option_function<std::string>(
          "--chart",
          [&chart](const std::string& value) {
            int number = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), number);
            if (error != std::errc() || end != value.data() + value.size() || number < 1) {
              throw UsageError(Fill(Tr("--chart needs a number from 1 to the number of charts "
                                       "(info lists them), not '{1}'"),
                                    {value}));
            }
            chart = number;
          },
          Tr("Chart number as `info` lists it (default 1)"))
      ->type_name("N");
}

CLI::Option* AddPlayerOption(CLI::App& command, int& player) {
  return AddChoiceOption(command, "--player", player, {{"1", 1}, {"2", 2}},
                         Tr("Player of a COUPLE chart (default 1)"));
}

std::optional<ChartChoice> ChooseChart(const SongDocument& song, const std::filesystem::path& input,
                                       int chart, int player, const char* instead,
                                       std::ostream& err, std::string& problem) {
  const auto count = song.scores.size();
  if (count == 0) {
    problem = NoChartMessage(input);
    return std::nullopt;
  }
  if (chart < 1 || static_cast<std::size_t>(chart) > count) {
    problem = Fill(Tr("{1}: --chart needs a number from 1 to {2}; there is no chart {3}"),
                   {input.string(), std::to_string(count), std::to_string(chart)});
    return std::nullopt;
  }
  const Score& score = *song.scores[static_cast<std::size_t>(chart) - 1];
  if (player != 2) return ChartChoice{&score, 0};
  if (score.mode == kCouple) return ChartChoice{&score, 1};
  err << Fill(Tr("{1}: chart {2} ({3}) is not a COUPLE chart: {4}"),
              {input.string(), std::to_string(chart), TerminalText(score.name), instead})
      << '\n';
  return ChartChoice{&score, 0};
}

}  // namespace pavaneflow::cli
