#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include <CLI/CLI.hpp>

#include "motion/setup/dance_setup.h"

namespace pavaneflow::cli {

// What `pavaneflow-cli body` was asked to do.
struct BodyOptions {
  std::filesystem::path file;  // a DWI file to dance, or a VMD file to measure as it is
  DanceSetup setup;            // with `all`, every chart and player instead of the setup's own
  std::optional<std::filesystem::path> model;  // the model file to dance and measure on
  bool all = false;
  bool json = false;
  bool allErrors = false;  // every reading problem line, not only the first ones
  // Where to write the music's beat frames as JSON (a list of lists with `all`); none when empty.
  std::filesystem::path beats;
};

// Declares the `body` subcommand and its options on `app`; parsing fills `options`.
CLI::App* AddBodyCommand(CLI::App& app, BodyOptions& options);

// Poses the reference body on every frame of the chosen chart's dance (or of every chart, or of
// the VMD file) and prints its figures on `out`, as text or JSON; the reading report, notes and
// failures go to `err`. Returns 0 when the figures were printed, 1 otherwise (a VMD motion under
// another name than .vmd is refused).
int RunBody(const BodyOptions& options, std::ostream& out, std::ostream& err);

}  // namespace pavaneflow::cli
