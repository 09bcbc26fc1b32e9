#pragma once

#include <QString>

#include "export/export_format.h"
#include "motion/setup/dance_setup.h"

namespace pavaneflow {

// The options of the form that outlive a run ("ゲームと同じタイミング", "足運びを最適化",
// "自然な動き" and the model), kept together in the per-user settings (QSettings with the
// application's organisation and name). The model is kept as its file's path and read again
// when loaded.
// The rest of the setup (chart, player, twist) belongs to the open file and is not kept.
// Classic, as a setup starts, until the user chose otherwise.
// A kept model that cannot be read any more is left out of the setup, and `modelProblem`, when
// given, tells why ("<file>: <reason>"); it is empty otherwise.
DanceSetup LoadDanceSetup(QString* modelProblem = nullptr);
void SaveDanceSetup(const DanceSetup& setup);

// The file format "生成..." writes, as last chosen in its save dialog; VMD at first. Every chart
// is written in it too.
ExportFormat LoadExportFormat();
void SaveExportFormat(ExportFormat format);

}  // namespace pavaneflow
