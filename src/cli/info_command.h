#pragma once

#include <string>

#include "motion/setup/dance_setup.h"

namespace pavaneflow::cli {

struct InfoOptions {
  std::string file;        // the chart file to read (.dwi, .sm, .ssc), or a folder of song folders
  bool json = false;       // print the whole model as JSON instead of a summary
  DanceSetup setup;        // only its reading rules count
  bool allErrors = false;  // every problem line, not only the first ones
};

// `pavaneflow-cli info`: reads a chart file and prints its song data and charts on standard
// output, and its reading report on standard error (the problems as "<file>: <N>行目:<message>",
// and a line when the file holds no chart); given a folder, does so for every song beneath it.
// Returns the exit status: 0 when every file was read (reading problems included), 1 when one is
// a VMD motion, could not be opened or read, or the output could not be written (the reason goes
// to standard error).
int RunInfo(const InfoOptions& options);

}  // namespace pavaneflow::cli
