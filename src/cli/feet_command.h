#pragma once

#include <filesystem>
#include <ostream>

#include <CLI/CLI.hpp>

#include "motion/setup/dance_setup.h"

namespace pavaneflow::cli {

// What `pavaneflow-cli feet` was asked to do.
struct FeetOptions {
  std::filesystem::path file;
  DanceSetup setup;  // with `all`, every chart and player instead of the setup's own
  bool all = false;  // every chart, and both players of a COUPLE chart
  bool json = false;
  bool allErrors = false;  // every reading problem line, not only the first ones
};

// Declares the `feet` subcommand and its options on `app`; parsing fills `options`.
CLI::App* AddFeetCommand(CLI::App& app, FeetOptions& options);

// Prints the footwork figures of the chosen chart (or of every chart) on `out`, as text or JSON;
// reading problems, notes and failures go to `err`. Returns 0 when the figures were printed, 1
// when the file is a VMD motion or could not be read, the chart does not exist or the output
// failed.
int RunFeet(const FeetOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pavaneflow::cli
