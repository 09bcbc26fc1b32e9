#include "cli/choice_option.h"

#include "cli/translation.h"

namespace pavaneflow::cli {

std::string ChoiceRefusal(const std::string& option, const std::vector<std::string>& words,
                          const std::string& value) {
  std::string choices = words.empty() ? std::string() : words.front();
  for (std::size_t i = 1; i < words.size(); ++i) {
    choices = Fill(i + 1 == words.size() ? Tr("{1} or {2}") : Tr("{1}, {2}"), {choices, words[i]});
  }
  return Fill(Tr("{1} takes {2}, not '{3}'"), {option, choices, value});
}

}  // namespace pavaneflow::cli
