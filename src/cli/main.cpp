#include <iostream>

#include <CLI/CLI.hpp>

#include "cli/body_command.h"
#include "cli/convert_command.h"
#include "cli/feet_command.h"
#include "cli/info_command.h"
#include "cli/setup_options.h"
#include "cli/sheet_command.h"

namespace {

constexpr int kUsageError = 2;

}  // namespace

// Parses the command line and hands over to the chosen command.
int main(int argc, char** argv) {
  CLI::App app{"Pavaneflow: DWI step charts to dance motions.", "pavaneflow-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "pavaneflow-cli " PAVANEFLOW_VERSION);

  pavaneflow::cli::InfoOptions info;
  CLI::App* infoCommand =
      app.add_subcommand("info", "Print the song and the charts of a chart file or a folder");
  infoCommand
      ->add_option("FILE", info.file,
                   "Chart file to read (.dwi, .sm, .ssc), or a folder of song folders")
      ->required();
  infoCommand->add_flag("--json", info.json, "Print the whole chart model as JSON");
  pavaneflow::cli::AddSetupOptions(*infoCommand, info.setup, pavaneflow::cli::kTimingOption);

  pavaneflow::cli::ConvertOptions convert;
  CLI::App* convertCommand = pavaneflow::cli::AddConvertCommand(app, convert);

  pavaneflow::cli::SheetOptions sheet;
  CLI::App* sheetCommand = pavaneflow::cli::AddSheetCommand(app, sheet);
  pavaneflow::cli::FeetOptions feet;
  CLI::App* feetCommand = pavaneflow::cli::AddFeetCommand(app, feet);
  pavaneflow::cli::BodyOptions body;
  CLI::App* bodyCommand = pavaneflow::cli::AddBodyCommand(app, body);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help ends with 0; everything else the parser refuses is a usage error.
    return app.exit(error) == 0 ? 0 : kUsageError;
  }

  if (infoCommand->parsed()) return pavaneflow::cli::RunInfo(info);
  if (convertCommand->parsed()) return pavaneflow::cli::RunConvert(convert, std::cout, std::cerr);
  if (sheetCommand->parsed()) return pavaneflow::cli::RunSheet(sheet, std::cout, std::cerr);
  if (feetCommand->parsed()) return pavaneflow::cli::RunFeet(feet, std::cout, std::cerr);
  if (bodyCommand->parsed()) return pavaneflow::cli::RunBody(body, std::cout, std::cerr);
  return 0;
}
