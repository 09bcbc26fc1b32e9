#pragma once

#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

#include "chart/dwi_document.h"

namespace pavaneflow::cli {

// Problem lines shown per file unless --all-errors asks for every one.
inline constexpr int kShownProblems = 20;

// What standard error gets after `song` was read from `file`: one "FILE: line N: ..." line per
// problem, in the user's language (ProblemLine), at most kShownProblems of them, then one line for
// all the charts of other games and a line counting the rest and naming --all-errors (with
// `allErrors`, every problem on its own line); and, when classic reading reported places that game
// timing reads, a line saying so and naming --timing game.
std::string ReadingReport(std::string_view file, const DWIDocument& song, bool allErrors);

// Declares `--all-errors` on `command`: every problem line, not the first kShownProblems.
void AddAllErrorsFlag(CLI::App& command, bool& allErrors);

}  // namespace pavaneflow::cli
