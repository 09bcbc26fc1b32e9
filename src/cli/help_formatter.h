#pragma once

#include <CLI/CLI.hpp>

namespace pavaneflow::cli {

// --help in the user's language: the parser library's own words (usage line, headings, markers)
// come from the message catalogue like ours.
class HelpFormatter : public CLI::Formatter {
 public:
  HelpFormatter();
};

// Gives `app` and every command under it the HelpFormatter, translated headings for the commands
// and the options, and a translated help flag. Call once every command and option is added.
void TranslateHelp(CLI::App& app);

}  // namespace pavaneflow::cli
