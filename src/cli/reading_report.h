#pragma once

#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

#include "chart/dwi_document.h"

namespace pavaneflow::cli {

// Problem lines shown per file unless --all-errors asks for every one.
inline constexpr int kShownProblems = 20;

// What standard error gets after `song` was read from `file`: one "FILE: N行目:..." line per
// problem, exactly as the reader words it, at most kShownProblems of them unless `allErrors`
// (then a line counting the rest and naming --all-errors); and, when classic reading reported
// places that game timing reads, a line saying so and naming --timing game.
std::string ReadingReport(std::string_view file, const DWIDocument& song, bool allErrors);

// Declares `--all-errors` on `command`: every problem line, not the first kShownProblems.
void AddAllErrorsFlag(CLI::App& command, bool& allErrors);

}  // namespace pavaneflow::cli
