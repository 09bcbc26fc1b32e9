#pragma once

#include <QString>

namespace pavaneflow {

// The song that a DWI file's #FILE tag names, or why there is none.
struct SongFile {
  QString path;     // empty when not found
  QString problem;  // in Japanese, for the status bar; empty when found
};

// Finds the file `fileTag` (#FILE, #MUSIC) names, relative to the folder of the chart file at
// `dwiPath`. Chart files come from Windows: "\" separates folders and letter case does not matter,
// so each part of the path is matched without regard to case where the file system cares. Where
// that path leads nowhere, the file of its last part beside the chart is taken, as the games do.
SongFile FindSongFile(const QString& dwiPath, const QString& fileTag);

}  // namespace pavaneflow
