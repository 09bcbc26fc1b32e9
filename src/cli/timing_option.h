#pragma once

#include <CLI/CLI.hpp>

#include "chart/chart_timing.h"

namespace pavaneflow::cli {

// Declares `--timing classic|game` on `command`, filling `timing` (classic unless given).
void AddTimingOption(CLI::App& command, ChartTiming& timing);

// "classic" or "game", as the option spells it.
const char* TimingName(ChartTiming timing);

}  // namespace pavaneflow::cli
