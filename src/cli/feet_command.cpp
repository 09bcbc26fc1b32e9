#include "cli/feet_command.h"

#include <charconv>
#include <memory>
#include <string>
#include <vector>

#include "chart/dwi_document.h"
#include "chart/score.h"
#include "cli/chart_choice.h"
#include "cli/json.h"
#include "cli/mode_name.h"
#include "cli/open_chart_file.h"
#include "cli/reading_report.h"
#include "cli/setup_options.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"
#include "motion/figures/footwork_figures.h"
#include "motion/setup/chart_outputs.h"
#include "motion/setup/dance_request.h"

namespace pavaneflow::cli {
namespace {

// One Lane measured.
struct Measured {
  int chart;
  const Score* score;
  std::int32_t player;
  FootworkFigures figures;
};

std::string Number(std::int64_t value) {
  char digits[24];
  return {digits, std::to_chars(digits, digits + sizeof digits, value).ptr};
}

// "12.34" per 100 step rows, whatever the locale.
std::string Per100(std::int64_t count, std::int64_t rows) {
  const double rate =
      rows > 0 ? 100.0 * static_cast<double>(count) / static_cast<double>(rows) : 0.0;
  char digits[32];
  return {digits,
          std::to_chars(digits, digits + sizeof digits, rate, std::chars_format::fixed, 2).ptr};
}

std::string Text(const Measured& m, FeetChoice feet) {
  const FootworkFigures& f = m.figures;
  const std::int64_t rows = f.stepRows;
  auto counted = [rows](std::int64_t count) {
    return Number(count) + " (" + Per100(count, rows) + " per 100 step rows)";
  };
  std::string out = "chart " + Number(m.chart) + " (" + TerminalText(m.score->name) + ", " +
                    ModeName(m.score->mode) + ", " + (m.player == 0 ? "1P" : "2P") + "), " +
                    FeetName(feet) + " feet\n";
  out += "  step rows: " + Number(rows) + '\n';
  out += "  crossed rows: " + counted(f.crossedRows) + '\n';
  out += "  longest crossed run: " + Number(f.longestCrossedRun) + " rows\n";
  out += "  crossovers: " + counted(f.Crossovers()) + ", full " + Number(f.fullCrossovers) +
         ", half " + Number(f.halfCrossovers) + '\n';
  out += "  unforced double steps: " + counted(f.unforcedDoubleSteps) + ", short " +
         counted(f.shortUnforcedDoubleSteps) + '\n';
  out += "  forced double steps: " + counted(f.forcedDoubleSteps) + ", short " +
         Number(f.shortForcedDoubleSteps) + '\n';
  out += "  fast jacks: " + counted(f.fastJacks) + '\n';
  out += "  footswitches: " + counted(f.footswitches) + '\n';
  out += "  dropped notes: " + Number(f.droppedNotes) + '\n';
  return out;
}

std::string Json(const Measured& m, FeetChoice feet) {
  const FootworkFigures& f = m.figures;
  std::string out = "{\"chart\": " + Number(m.chart) + ", \"name\": ";
  AppendJsonString(out, m.score->name);
  out += std::string(", \"mode\": \"") + ModeName(m.score->mode) +
         "\", \"player\": " + Number(m.player + 1) + ", \"feet\": \"" + FeetName(feet) + '"';
  const std::pair<const char*, std::int64_t> counts[] = {
      {"step_rows", f.stepRows},
      {"crossed_rows", f.crossedRows},
      {"longest_crossed_run", f.longestCrossedRun},
      {"full_crossovers", f.fullCrossovers},
      {"half_crossovers", f.halfCrossovers},
      {"unforced_double_steps", f.unforcedDoubleSteps},
      {"short_unforced_double_steps", f.shortUnforcedDoubleSteps},
      {"forced_double_steps", f.forcedDoubleSteps},
      {"short_forced_double_steps", f.shortForcedDoubleSteps},
      {"fast_jacks", f.fastJacks},
      {"footswitches", f.footswitches},
      {"dropped_notes", f.droppedNotes},
  };
  for (const auto& [name, value] : counts)
    out += std::string(", \"") + name + "\": " + Number(value);
  return out + '}';
}

}  // namespace

CLI::App* AddFeetCommand(CLI::App& app, FeetOptions& options) {
  CLI::App* feet = app.add_subcommand(
      "feet", Tr("Print the footwork figures of a chart: crossed legs, double steps, jacks, ..."));
  feet->add_option("FILE", options.file, Tr("Chart file to read (.dwi, .sm, .ssc)"))->required();
  const ChartOptions chart =
      AddSetupOptions(*feet, options.setup, kChartOption | kTimingOption | kFeetOption);
  feet->add_flag("--all", options.all, Tr("Every chart, both players of a COUPLE chart"))
      ->excludes(chart.chart)
      ->excludes(chart.player);
  feet->add_flag("--json", options.json,
                 Tr("Print the counts as JSON (an array of charts with --all)"));
  AddAllErrorsFlag(*feet, options.allErrors);
  return feet;
}

int RunFeet(const FeetOptions& options, std::ostream& out, std::ostream& err) {
  DWIDocument song;
  std::string problem;
  if (OpenChartFile(song, options.file, options.setup, options.allErrors, err, problem) !=
      ChartFile::kOpened) {
    err << problem << '\n';
    return 1;
  }

  std::vector<Measured> lanes;
  auto measure = [&](const DanceSetup& setup) {
    const DanceRequest dance = MakeDanceRequest(song, setup);
    const GenerationRequest& request = dance.Request();
    lanes.push_back({setup.chart + 1, request.score, request.player, MeasureFootwork(request)});
  };
  if (options.all) {
    for (const DanceSetup& setup : EveryChart(song, options.setup)) measure(setup);
  } else {
    const std::optional<DanceSetup> setup =
        ChooseChart(song, options.file, options.setup, Tr("counting 1P"), err, problem);
    if (!setup) {
      err << problem << '\n';
      return 1;
    }
    measure(*setup);
  }

  std::string text;
  if (options.json) {
    if (options.all) text += '[';
    for (std::size_t i = 0; i < lanes.size(); ++i) {
      if (i > 0) text += ", ";
      text += Json(lanes[i], options.setup.feet);
    }
    text += options.all ? "]\n" : "\n";
  } else {
    for (const Measured& lane : lanes) text += Text(lane, options.setup.feet);
  }
  out << text;
  if (!out.flush()) {
    err << Tr("standard output: the figures could not be printed") << '\n';
    return 1;
  }
  return 0;
}

}  // namespace pavaneflow::cli
