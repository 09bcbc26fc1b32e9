#include "cli/usage_error.h"

#include <string_view>

#include "cli/translation.h"

namespace pavaneflow::cli {
namespace {

// "info, convert, sheet, feet": the commands in the order they were added.
std::string CommandList(const CLI::App& app) {
  std::string list;
  for (const CLI::App* command : app.get_subcommands({})) {
    if (!list.empty()) list += ", ";
    list += command->get_name();
  }
  return list;
}

// The command the call chose, or null when it chose none.
const CLI::App* ChosenCommand(const CLI::App& app) {
  for (const CLI::App* command : app.get_subcommands({})) {
    if (command->parsed()) return command;
  }
  return nullptr;
}

// What follows the first `marker` in the parser's text `what`; empty without it.
std::string After(std::string_view what, std::string_view marker) {
  const std::size_t at = what.find(marker);
  return at == std::string_view::npos ? std::string()
                                      : std::string(what.substr(at + marker.size()));
}

std::string Before(std::string_view what, std::string_view marker) {
  const std::size_t at = what.find(marker);
  return at == std::string_view::npos ? std::string() : std::string(what.substr(0, at));
}

std::string CommandMessage(const CLI::App& app, const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument.empty() || argument[0] == '-') continue;
    return Fill(Tr("unknown command '{1}' (commands: {2})"), {argument, CommandList(app)});
  }
  return Fill(Tr("a command is needed (commands: {1}); pavaneflow-cli --help tells more"),
              {CommandList(app)});
}

std::string ExtrasMessage(const CLI::App& app, const CLI::App* command, std::string_view what) {
  const std::string extras = After(what, "expected: ");
  const std::string first = extras.substr(0, extras.find(' '));
  const std::string name = command != nullptr ? command->get_name() : std::string();
  if (command == nullptr) return CommandMessage(app, {first});
  if (!first.empty() && first[0] == '-') {
    return Fill(Tr("unknown option '{1}' for {2} (pavaneflow-cli {2} --help lists them)"),
                {first, name});
  }
  return Fill(Tr("'{1}' is one argument too many for {2}"), {first, name});
}

std::string MissingValueMessage(const CLI::App* command, std::string_view what) {
  const std::string option = Before(what, ": ");
  const CLI::Option* found = nullptr;
  if (command != nullptr) {
    for (const CLI::Option* candidate : command->get_options()) {
      if (candidate->check_name(option)) found = candidate;
    }
  }
  if (found == nullptr || found->get_type_name().empty()) {
    return Fill(Tr("{1} needs a value"), {option});
  }
  return Fill(Tr("{1} needs a value ({2})"), {option, found->get_type_name()});
}

}  // namespace

std::string UsageMessage(const CLI::ParseError& error, const CLI::App& app,
                         const std::vector<std::string>& arguments) {
  // By type, not by get_name(): a command's extras carry the command's name there.
  const std::string_view what = error.what();
  const CLI::App* command = ChosenCommand(app);
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
    if (command == nullptr) return CommandMessage(app, arguments);
    return Fill(Tr("{1} needs a file: pavaneflow-cli {1} FILE"), {command->get_name()});
  }
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    return ExtrasMessage(app, command, what);
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    return MissingValueMessage(command, what);
  }
  if (dynamic_cast<const CLI::RequiresError*>(&error) != nullptr) {
    return Fill(Tr("{1} needs {2} as well"),
                {Before(what, " requires "), After(what, " requires ")});
  }
  if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr) {
    return Fill(Tr("{1} and {2} cannot be used together"),
                {Before(what, " excludes "), After(what, " excludes ")});
  }
  return std::string(what);
}

}  // namespace pavaneflow::cli
