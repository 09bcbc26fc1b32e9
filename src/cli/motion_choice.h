#pragma once

#include <CLI/CLI.hpp>

#include "motion/motion_style.h"
#include "motion/natural_motion.h"

namespace pavaneflow::cli {

// How a command's dance moves the body: the classic motion, or the natural one facing a side.
struct MotionChoice {
  bool natural = false;
  Facing facing = Facing::kViewer;
};

// Declares `--motion classic|natural` (default classic) and `--facing viewer|screen` (default
// viewer; natural motion only) on `command`.
void AddMotionOptions(CLI::App& command, MotionChoice& choice);

// The style to put in the GenerationRequest: null for the classic motion.
const MotionStyle* StyleFor(const MotionChoice& choice);

// "classic", "natural (facing the viewer)" or "natural (facing the screen)".
const char* MotionName(const MotionChoice& choice);

}  // namespace pavaneflow::cli
