#pragma once

#include <CLI/CLI.hpp>

#include "chart/chart_timing.h"
#include "motion/setup/dance_setup.h"

namespace pavaneflow::cli {

// Which of the shared dance options a command takes.
enum SetupOption : unsigned {
  kChartOption = 1u << 0,   // --chart and --player
  kTwistOption = 1u << 1,   // --no-twist
  kTimingOption = 1u << 2,  // --timing
  kFeetOption = 1u << 3,    // --feet
  kMotionOption = 1u << 4,  // --motion and --facing
};

// The chart and player options, for commands that let another option exclude them; null when
// not declared.
struct ChartOptions {
  CLI::Option* chart = nullptr;
  CLI::Option* player = nullptr;
};

// Declares the options of `which` on `command`, the same way on every command; parsing fills
// `setup` (`--chart 1` is the index 0, `--player 2` the player 1).
ChartOptions AddSetupOptions(CLI::App& command, DanceSetup& setup, unsigned which);

// "classic" or "game", as `--timing` spells it.
const char* TimingName(ChartTiming timing);
// "classic" or "planned", as `--feet` spells it.
const char* FeetName(FeetChoice feet);
// "classic", "natural (facing the viewer)" or "natural (facing the screen)".
const char* MotionName(const DanceSetup& setup);

}  // namespace pavaneflow::cli
