#include "cli/help_formatter.h"

#include <memory>

#include "cli/translation.h"

namespace pavaneflow::cli {
namespace {

void TranslateCommand(CLI::App& command, const std::shared_ptr<HelpFormatter>& formatter) {
  command.formatter(formatter);
  command.set_help_flag("-h,--help", Tr("Print this help and exit"));
  for (CLI::Option* option : command.get_options()) {
    if (option->get_group() == "Options") option->group(Tr("Options"));
  }
  for (CLI::App* sub : command.get_subcommands({})) {
    sub->group(Tr("Commands"));
    TranslateCommand(*sub, formatter);
  }
}

}  // namespace

HelpFormatter::HelpFormatter() {
  label("Usage", Tr("Usage"));
  label("OPTIONS", Tr("OPTIONS"));
  label("SUBCOMMAND", Tr("COMMAND"));
  label("SUBCOMMANDS", Tr("COMMANDS"));
  label("Positionals", Tr("Arguments"));
  label("REQUIRED", Tr("REQUIRED"));
  label("Excludes", Tr("Excludes"));
  label("Needs", Tr("Needs"));
}

void TranslateHelp(CLI::App& app) {
  TranslateCommand(app, std::make_shared<HelpFormatter>());
}

}  // namespace pavaneflow::cli
