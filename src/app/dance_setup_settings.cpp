#include "app/dance_setup_settings.h"

#include <QSettings>
#include <QString>

#include "app/model_problem_text.h"
#include "app/native_path.h"

namespace pavaneflow {

namespace {

// The keys of earlier versions, kept so that users keep their choices.
const QString kGroup = QStringLiteral("Settings");
const QString kGameTimingKey = QStringLiteral("GameTiming");
const QString kPlannedFeetKey = QStringLiteral("PlannedFeet");
const QString kNaturalMotionKey = QStringLiteral("NaturalMotion");
const QString kModelKey = QStringLiteral("Model");
const QString kExportFormatKey = QStringLiteral("ExportFormat");  // its extension, "vrma"

}  // namespace

DanceSetup LoadDanceSetup(QString* modelProblem) {
  QSettings settings;
  settings.beginGroup(kGroup);
  DanceSetup setup;
  if (settings.value(kGameTimingKey, false).toBool()) setup.timing = ChartTiming::kGame;
  if (settings.value(kPlannedFeetKey, false).toBool()) setup.feet = FeetChoice::kPlanned;
  if (settings.value(kNaturalMotionKey, false).toBool()) setup.motion = MotionChoice::kNatural;
  QString problem;
  const QString model = settings.value(kModelKey).toString();
  if (!model.isEmpty()) {
    if (std::optional<DanceModel> read = ReadModelOrTell(model, problem)) FitTo(setup, *read);
  }
  if (modelProblem != nullptr) *modelProblem = problem;
  return setup;
}

void SaveDanceSetup(const DanceSetup& setup) {
  QSettings settings;
  settings.beginGroup(kGroup);
  settings.setValue(kGameTimingKey, setup.timing == ChartTiming::kGame);
  settings.setValue(kPlannedFeetKey, setup.feet == FeetChoice::kPlanned);
  settings.setValue(kNaturalMotionKey, setup.motion == MotionChoice::kNatural);
  if (setup.model) {
    settings.setValue(kModelKey, FromNativePath(setup.model->file));
  } else {
    settings.remove(kModelKey);
  }
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
