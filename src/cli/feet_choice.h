#pragma once

#include <CLI/CLI.hpp>

#include "motion/foot_planner.h"

namespace pavaneflow::cli {

// Which foot planner a command uses: the classic rule, Frame by Frame, or the whole-chart plan.
enum class FeetChoice { kClassic, kPlanned };

// Declares `--feet classic|planned` (default classic) on `command`.
CLI::Option* AddFeetOption(CLI::App& command, FeetChoice& choice);

// The planner to put in the GenerationRequest: null for the classic rule.
const FootPlanner* PlannerFor(FeetChoice choice);

}  // namespace pavaneflow::cli
