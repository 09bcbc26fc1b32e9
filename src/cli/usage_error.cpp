#include "cli/usage_error.h"

#include <string_view>

#include "cli/chart_choice.h"
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

// The commands of `app` that take the option `name` ("--motion"), in the order they were added.
std::vector<std::string> CommandsTaking(const CLI::App& app, const std::string& name) {
  std::vector<std::string> commands;
  for (const CLI::App* command : app.get_subcommands({})) {
    for (const CLI::Option* option : command->get_options()) {
      if (option->check_name(name)) {
        commands.push_back(command->get_name());
        break;
      }
    }
  }
  return commands;
}

std::string ExtrasMessage(const CLI::App& app, const CLI::App* command) {
  // The parser lists the extras last first; the apps keep them in the order given.
  const std::vector<std::string> extras = app.remaining(true);
  if (command == nullptr) return CommandMessage(app, extras);
  const std::string& name = command->get_name();
  for (const std::string& extra : extras) {
    if (extra.size() < 2 || extra[0] != '-') continue;
    // An option given to a command that does not take it: its value, if any, is no argument of
    // the command's own, and the option is what to tell about.
    const std::string option = extra.substr(0, extra.find('='));
    const std::vector<std::string> others = CommandsTaking(app, option);
    if (!others.empty()) {
      return Fill(TrN("{1} does not take {2} ({3} does)", "{1} does not take {2} ({3} do)",
                      static_cast<std::int64_t>(others.size())),
                  {name, option, JoinWords(others, Tr("{1} and {2}"))});
    }
    return Fill(Tr("unknown option '{1}' for {2} (pavaneflow-cli {2} --help lists them)"),
                {option, name});
  }
  return Fill(Tr("'{1}' is one argument too many for {2}"),
              {extras.empty() ? std::string() : extras.front(), name});
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
  if (option == "--chart") {
    // The file comes first as a rule, and then its charts can be counted.
    const CLI::Option* file = command->get_option_no_throw("FILE");
    const bool one = file != nullptr && file->count() == 1;
    return ChartNumberNeeded(one ? file->results().front() : std::string());
  }
  return Fill(Tr("{1} needs a value ({2})"), {option, found->get_type_name()});
}

// The option of `command` (or of `app` itself) named `name` ("-o", "--output"); null if none.
const CLI::Option* OptionNamed(const CLI::App& app, const CLI::App* command,
                               const std::string& name) {
  for (const CLI::App* owner : {command, &app}) {
    if (owner == nullptr) continue;
    for (const CLI::Option* option : owner->get_options()) {
      if (!option->get_positional() && option->check_name(name)) return option;
    }
  }
  return nullptr;
}

}  // namespace

void RefuseOptionNamesAsValues(const CLI::App& app, const std::vector<std::string>& arguments) {
  const CLI::App* command = nullptr;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--") return;
    if (command == nullptr) {
      for (const CLI::App* candidate : app.get_subcommands({})) {
        if (candidate->check_name(argument)) command = candidate;
      }
      if (command != nullptr) continue;
    }
    if (argument.size() < 2 || argument[0] != '-' || argument.find('=') != std::string::npos) {
      continue;
    }
    const CLI::Option* option = OptionNamed(app, command, argument);
    if (option == nullptr || option->get_expected_min() == 0 || i + 1 == arguments.size()) continue;
    const std::string& next = arguments[i + 1];
    if (next.size() > 1 && next[0] == '-' &&
        OptionNamed(app, command, next.substr(0, next.find('='))) != nullptr) {
      throw UsageError(Fill(Tr("{1} needs a value ({2}) before the next option, '{3}'"),
                            {argument, option->get_type_name(), next}));
    }
    ++i;  // the value
  }
}

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
    return ExtrasMessage(app, command);
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
