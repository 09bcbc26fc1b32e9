#pragma once

#include "chart/chart_types.h"

namespace pavaneflow::cli {

// "SINGLE", "DOUBLE" or "COUPLE"; an unknown mode is danced as SINGLE and named so.
const char* ModeName(ChartMode mode);

}  // namespace pavaneflow::cli
