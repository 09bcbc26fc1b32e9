#pragma once

#include <QString>

namespace pavaneflow {

// Turns a bar-separated filter list, "Name|patterns|Name|patterns", into Qt's
// "Name (patterns);;Name (patterns)". The names are kept as written. Patterns match in any letter
// case, as on the desktop the list was written for ("*.DWI" also finds "song.dwi"), and "*.*"
// matches every file, names without a dot too. Empty trailing entries are ignored.
QString ToQtFilter(const QString& barList);

// `path` with "." and `extension` appended when its file name has no extension (no dot); dots in
// folder names do not count.
QString WithDefaultExtension(const QString& path, const QString& extension);

}  // namespace pavaneflow
