#pragma once

#include "chart/chart_types.h"

namespace pavaneflow {

// Words shared by the foot planner and the footwork figures, so that both speak of the same steps.

// Two steps of one foot on different panels closer than this (seconds) make a short double step.
inline constexpr double kShortDoubleStepSeconds = 0.235;
// Two steps of one foot on the same panel closer than this make a fast jack.
inline constexpr double kFastJackSeconds = 0.176;
// Two feet on one panel in two rows closer than this make a footswitch.
inline constexpr double kFootswitchSeconds = 0.3;

// A panel's place from left to right: 0 for left, 1 for down, up and any code that names no
// arrow (the pad's centre), 2 for right; the second pad of a DOUBLE chart adds 3.
int PanelX(ChartMode mode, ArrowCode code);

}  // namespace pavaneflow
