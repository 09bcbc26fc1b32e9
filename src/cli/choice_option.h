#pragma once

#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/usage_error.h"

namespace pavaneflow::cli {

// "OPTION takes a or b, not 'x'" (or "a, b or c"), in the user's language.
std::string ChoiceRefusal(const std::string& option, const std::vector<std::string>& words,
                          const std::string& value);

// The word `value` (any case) among `names`, else a UsageError "OPTION takes a or b, not 'x'".
template <typename Value>
Value ChooseWord(const std::string& option, const std::string& value,
                 const std::vector<std::pair<std::string, Value>>& names);

// Adds `option` to `command`, taking one of the words of `names` (any case) into `target`;
// --help shows the choices as "a|b", and anything else is refused by ChooseWord.
template <typename Value>
CLI::Option* AddChoiceOption(CLI::App& command, const std::string& option, Value& target,
                             std::vector<std::pair<std::string, Value>> names,
                             const std::string& description) {
  std::string typeName;
  for (const auto& name : names) typeName += (typeName.empty() ? "" : "|") + name.first;
  return command
      .add_option_function<std::string>(
          option,
          [&target, option, names](const std::string& value) {
            target = ChooseWord(option, value, names);
          },
          description)
      ->type_name(typeName);
}

template <typename Value>
Value ChooseWord(const std::string& option, const std::string& value,
                 const std::vector<std::pair<std::string, Value>>& names) {
  std::vector<std::string> words;
  for (const auto& [word, chosen] : names) {
    if (CLI::detail::to_lower(value) == word) return chosen;
    words.push_back(word);
  }
  throw UsageError(ChoiceRefusal(option, words, value));
}

}  // namespace pavaneflow::cli
