#include "app/dance_setup_settings.h"

#include <QSettings>
#include <QString>

namespace pavaneflow {

namespace {

// The keys of earlier versions, kept so that users keep their choices.
const QString kGroup = QStringLiteral("Settings");
const QString kGameTimingKey = QStringLiteral("GameTiming");
const QString kPlannedFeetKey = QStringLiteral("PlannedFeet");
const QString kNaturalMotionKey = QStringLiteral("NaturalMotion");
const QString kExportFormatKey = QStringLiteral("ExportFormat");  // its extension, "vrma"

}  // namespace

DanceSetup LoadDanceSetup() {
  QSettings settings;
  settings.beginGroup(kGroup);
  DanceSetup setup;
  if (settings.value(kGameTimingKey, false).toBool()) setup.timing = ChartTiming::kGame;
  if (settings.value(kPlannedFeetKey, false).toBool()) setup.feet = FeetChoice::kPlanned;
  if (settings.value(kNaturalMotionKey, false).toBool()) setup.motion = MotionChoice::kNatural;
  return setup;
}

void SaveDanceSetup(const DanceSetup& setup) {
  QSettings settings;
  settings.beginGroup(kGroup);
  settings.setValue(kGameTimingKey, setup.timing == ChartTiming::kGame);
  settings.setValue(kPlannedFeetKey, setup.feet == FeetChoice::kPlanned);
  settings.setValue(kNaturalMotionKey, setup.motion == MotionChoice::kNatural);
}

ExportFormat LoadExportFormat() {
  QSettings settings;
  settings.beginGroup(kGroup);
  const QString extension = settings.value(kExportFormatKey).toString();
  return FormatOfName(("motion." + extension).toStdString()).value_or(ExportFormat::kVmd);
}

void SaveExportFormat(ExportFormat format) {
  QSettings settings;
  settings.beginGroup(kGroup);
  const std::string_view extension = ExtensionOf(format).substr(1);
  settings.setValue(
      kExportFormatKey,
      QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size())));
}

}  // namespace pavaneflow
