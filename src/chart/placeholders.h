#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace pavaneflow {

// `pattern` with "{1}" to "{9}" replaced by the arguments in that order; a placeholder without its
// argument, and any other brace, stays as written. A translation may put the placeholders where
// its language wants them.
template <typename Char>
std::basic_string<Char> FillPlaceholders(
    std::basic_string_view<Char> pattern,
    std::initializer_list<std::basic_string_view<Char>> arguments) {
  std::basic_string<Char> out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const bool placeholder = i + 2 < pattern.size() && pattern[i] == Char('{') &&
                             pattern[i + 2] == Char('}') && pattern[i + 1] >= Char('1') &&
                             pattern[i + 1] <= Char('9');
    const std::size_t number =
        placeholder ? static_cast<std::size_t>(pattern[i + 1] - Char('1')) : arguments.size();
    if (number < arguments.size()) {
      out += arguments.begin()[number];
      i += 2;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace pavaneflow
