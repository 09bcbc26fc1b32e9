#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

#include <CLI/CLI.hpp>

#include "export/export_format.h"
#include "motion/setup/dance_setup.h"

namespace pavaneflow::cli {

// What `pavaneflow-cli convert` was asked to do.
struct ConvertOptions {
  std::vector<std::filesystem::path> inputs;
  DanceSetup setup;  // with `all`, every chart and player instead of the setup's own
  std::optional<std::filesystem::path> model;  // the model file the natural motion is fitted to
  bool compat = false;                         // append the empty section counts
  // The file format; none: what the output file's name asks for, else VMD.
  std::optional<ExportFormat> format;
  bool all = false;        // every chart to its own file
  bool allErrors = false;  // every reading problem line, not only the first ones
  // The output file; a folder (created if missing) with several inputs or with `all`.
  std::optional<std::filesystem::path> output;
};

// Declares the `convert` subcommand and its options on `app`; parsing fills `options`.
CLI::App* AddConvertCommand(CLI::App& app, ConvertOptions& options);

// Converts every input, reporting written files on `out` and reading problems, notes and
// failures on `err`. A bad input (a VMD motion, a file without charts) is reported and skipped.
// Returns the exit status: 0 when everything was written, 1 when any input, chart or output
// failed, 2 when -o names a folder for the one chart of one input.
int RunConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pavaneflow::cli
