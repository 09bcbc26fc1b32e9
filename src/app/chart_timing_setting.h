#pragma once

#include "chart/chart_timing.h"

namespace pavaneflow {

// The timing chosen with "ゲームと同じタイミング", kept in the per-user settings (QSettings with
// the application's organisation and name); classic until the user chose otherwise.
ChartTiming LoadChartTiming();
void SaveChartTiming(ChartTiming timing);

}  // namespace pavaneflow
