#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include <CLI/CLI.hpp>

#include "motion/setup/dance_setup.h"

namespace pavaneflow::cli {

// What `pavaneflow-cli sheet` was asked to do.
struct SheetOptions {
  std::filesystem::path input;  // a DWI file, or a VMD file (by its extension)
  DanceSetup setup;             // not used for a VMD file
  bool allErrors = false;       // every reading problem line, not only the first ones
  // The SVG file; by default the input's name with ".svg".
  std::optional<std::filesystem::path> output;
};

// Declares the `sheet` subcommand and its options on `app`; parsing fills `options`.
CLI::App* AddSheetCommand(CLI::App& app, SheetOptions& options);

// Draws the dance sheet of the chart's generated dance (or of the VMD file's motion) and writes
// it as SVG, all or nothing. Reports the written file on `out`, problems on `err`. Returns 0 when
// the sheet was written, 1 otherwise.
int RunSheet(const SheetOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pavaneflow::cli
