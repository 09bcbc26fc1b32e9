#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/body_command.h"
#include "cli/convert_command.h"
#include "cli/feet_command.h"
#include "cli/help_formatter.h"
#include "cli/info_command.h"
#include "cli/reading_report.h"
#include "cli/setup_options.h"
#include "cli/sheet_command.h"
#include "cli/translation.h"
#include "cli/usage_error.h"

namespace {

constexpr int kUsageError = 2;

int UsageFailure(const std::string& message) {
  const std::string line = "pavaneflow-cli: " + message + '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  return kUsageError;
}

}  // namespace

// Parses the command line and hands over to the chosen command.
int main(int argc, char** argv) {
  using pavaneflow::cli::Tr;
  pavaneflow::cli::UseUserLanguage(argv[0]);
  CLI::App app{Tr("Pavaneflow: step charts (DWI, .sm, .ssc) to dance motions."), "pavaneflow-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "pavaneflow-cli " PAVANEFLOW_VERSION,
                       Tr("Print the version and exit"));

  pavaneflow::cli::InfoOptions info;
  CLI::App* infoCommand =
      app.add_subcommand("info", Tr("Print the song and the charts of a chart file or a folder"));
  infoCommand
      ->add_option("FILE", info.file,
                   Tr("Chart file to read (.dwi, .sm, .ssc), or a folder of song folders"))
      ->required();
  infoCommand->add_flag("--json", info.json,
                        Tr("Print the whole chart model as JSON; a chart with its own timing lists "
                           "it (offset, tempos, stops, delays, warps), and that timing, not the "
                           "song's, is what it dances to"));
  pavaneflow::cli::AddSetupOptions(*infoCommand, info.setup, pavaneflow::cli::kTimingOption);
  pavaneflow::cli::AddAllErrorsFlag(*infoCommand, info.allErrors);

  pavaneflow::cli::ConvertOptions convert;
  CLI::App* convertCommand = pavaneflow::cli::AddConvertCommand(app, convert);

  pavaneflow::cli::SheetOptions sheet;
  CLI::App* sheetCommand = pavaneflow::cli::AddSheetCommand(app, sheet);
  pavaneflow::cli::FeetOptions feet;
  CLI::App* feetCommand = pavaneflow::cli::AddFeetCommand(app, feet);
  pavaneflow::cli::BodyOptions body;
  CLI::App* bodyCommand = pavaneflow::cli::AddBodyCommand(app, body);
  pavaneflow::cli::TranslateHelp(app);

  const std::vector<std::string> arguments(argv + 1, argv + argc);
  try {
    pavaneflow::cli::RefuseOptionNamesAsValues(app, arguments);
    app.parse(argc, argv);
  } catch (const CLI::Success& done) {
    // --help and --version print and end with 0.
    return app.exit(done);
  } catch (const CLI::ParseError& error) {
    return UsageFailure(pavaneflow::cli::UsageMessage(error, app, arguments));
  } catch (const pavaneflow::cli::UsageError& error) {
    return UsageFailure(error.what());
  }

  if (infoCommand->parsed()) return pavaneflow::cli::RunInfo(info);
  if (convertCommand->parsed()) return pavaneflow::cli::RunConvert(convert, std::cout, std::cerr);
  if (sheetCommand->parsed()) return pavaneflow::cli::RunSheet(sheet, std::cout, std::cerr);
  if (feetCommand->parsed()) return pavaneflow::cli::RunFeet(feet, std::cout, std::cerr);
  if (bodyCommand->parsed()) return pavaneflow::cli::RunBody(body, std::cout, std::cerr);
  return 0;
}
