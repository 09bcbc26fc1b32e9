#pragma once

#include <string>

#include "motion/dance_setup.h"

namespace pavaneflow::cli {

struct InfoOptions {
  std::string file;   // the DWI file to read
  bool json = false;  // print the whole model as JSON instead of a summary
  DanceSetup setup;   // only its reading rules count
};

// `pavaneflow-cli info`: reads a DWI file and prints its song data and charts on standard output,
// and each reading problem as "<file>: <N>行目:<message>" on standard error. Returns the exit
// status: 0 when the file was read (reading problems included), 1 when it could not be opened or
// read, or the output could not be written (the reason goes to standard error).
int RunInfo(const InfoOptions& options);

}  // namespace pavaneflow::cli
