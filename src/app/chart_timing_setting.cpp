#include "app/chart_timing_setting.h"

#include <QSettings>
#include <QString>

namespace pavaneflow {

namespace {

const QString kGameTimingKey = QStringLiteral("Settings/GameTiming");

}  // namespace

ChartTiming LoadChartTiming() {
  return QSettings().value(kGameTimingKey, false).toBool() ? ChartTiming::kGame
                                                           : ChartTiming::kClassic;
}

void SaveChartTiming(ChartTiming timing) {
  QSettings().setValue(kGameTimingKey, timing == ChartTiming::kGame);
}

}  // namespace pavaneflow
