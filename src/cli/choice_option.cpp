#include "cli/choice_option.h"

#include "cli/translation.h"

namespace pavaneflow::cli {

std::string ChoiceRefusal(const std::string& option, const std::vector<std::string>& words,
                          const std::string& value) {
  const std::string choices = JoinWords(words, Tr("{1} or {2}"));
  return Fill(Tr("{1} takes {2}, not '{3}'"), {option, choices, value});
}

}  // namespace pavaneflow::cli
