#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace pavaneflow::cli {

// The message catalogue of the command line's words, the reading problems among them.
inline constexpr char kTextDomain[] = "pavaneflow-cli";

// Speaks the user's language from here on: the message category follows the environment (LANG,
// LC_ALL, LC_MESSAGES, LANGUAGE), and with it the operating system's reasons (strerror); every
// other category stays "C" so that numbers are read and printed the same everywhere. The
// catalogues are looked for where the package installs them, relative to the program, so a build
// tree or another prefix finds its own. `program` is argv[0].
void UseUserLanguage(const char* program);

// `english` in the user's language, or itself when there is no translation. The result lives as
// long as the program.
const char* Tr(const char* english);
// `english` in the user's language, as the catalogue has it under `context` (its msgctxt).
const char* TrP(const char* context, const char* english);
// The form of `singular`/`plural` that goes with `count`, in the user's language.
const char* TrN(const char* singular, const char* plural, std::int64_t count);

// `pattern` with "{1}", "{2}", ... replaced by the arguments in that order: a translation may put
// them where its language wants them.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> arguments);

// The words as a list in the user's language: "a", "a or b", "a, b or c" with `lastPattern` the
// translated "{1} or {2}" (or "{1} and {2}") joining the last word.
std::string JoinWords(const std::vector<std::string>& words, const char* lastPattern);

}  // namespace pavaneflow::cli
