#include "cli/sheet_command.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/atomic_file.h"
#include "base/file_error.h"
#include "chart/dwi_document.h"
#include "chart/score.h"
#include "chart/utf8.h"
#include "cli/chart_choice.h"
#include "cli/file_problem.h"
#include "cli/open_chart_file.h"
#include "cli/reading_report.h"
#include "cli/setup_options.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"
#include "motion/classic/run.h"
#include "motion/setup/dance_request.h"
#include "sheet/dance_sheet.h"
#include "vmd/vmd_reader.h"

namespace pavaneflow::cli {
namespace {

bool IsVmd(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".vmd";
}

// The sheet of the chosen chart's dance; nullopt after reporting why there is none.
std::optional<DanceSheet> ChartSheet(const SheetOptions& options, std::ostream& err) {
  // Only a file named .vmd is drawn as a motion; a motion under a chart's name is refused.
  DWIDocument document;
  std::string problem;
  if (OpenChartFile(document, options.input, options.setup, options.allErrors, err, problem) !=
      ChartFile::kOpened) {
    err << problem << '\n';
    return std::nullopt;
  }
  const std::optional<DanceSetup> setup =
      ChooseChart(document, options.input, options.setup, Tr("dancing 1P"), err, problem);
  if (!setup) {
    err << problem << '\n';
    return std::nullopt;
  }
  const DanceRequest dance = MakeDanceRequest(document, *setup);
  const GenerationRequest& request = dance.Request();
  MotionDocument motion;
  Synthesize(request, motion);
  DanceSheet sheet = SheetFromChart(request, motion);
  if (request.score->mode == kCouple) sheet.title += request.player == 0 ? u" 1P" : u" 2P";
  return sheet;
}

}  // namespace

CLI::App* AddSheetCommand(CLI::App& app, SheetOptions& options) {
  CLI::App* sheet = app.add_subcommand(
      "sheet", Tr("Draw the dance of a chart (or of a VMD motion) as an SVG dance sheet"));
  sheet->add_option("FILE", options.input, Tr("Chart file (.dwi, .sm, .ssc), or VMD file to draw"))
      ->required();
  AddSetupOptions(*sheet, options.setup, kChartOption | kTwistOption | kTimingOption | kFeetOption);
  sheet->add_option("-o,--output", options.output, Tr("SVG file to write (default: FILE.svg)"))
      ->type_name("SHEET.svg");
  AddAllErrorsFlag(*sheet, options.allErrors);
  return sheet;
}

int RunSheet(const SheetOptions& options, std::ostream& out, std::ostream& err) {
  const std::filesystem::path path =
      options.output ? *options.output
                     : std::filesystem::path(options.input).replace_extension(".svg");
  try {
    std::optional<DanceSheet> sheet;
    if (IsVmd(options.input)) {
      const VmdMotion motion = ReadVmdFile(options.input);
      sheet = SheetFromVmd(motion, options.input.filename().u16string());
    } else {
      sheet = ChartSheet(options, err);
    }
    if (!sheet) return 1;
    std::error_code error;
    if (std::filesystem::equivalent(options.input, path, error)) {
      err << Fill(Tr("{1}: would overwrite the input file"), {path.string()}) << '\n';
      return 1;
    }
    const std::string svg = RenderSheetSvg(*sheet);
    try {
      AtomicFile file(path);
      file.Write(reinterpret_cast<const std::uint8_t*>(svg.data()), svg.size());
      file.Commit();
    } catch (const FileError& e) {
      err << WriteProblem(e) << '\n';
      return 1;
    }
    out << path.string() << ": " << sheet->steps.size() << " steps, " << svg.size() << " bytes\n";
  } catch (const FileError& e) {
    err << FileProblem(e) << '\n';
    return 1;
  } catch (const VmdFormatError& e) {
    err << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace pavaneflow::cli
