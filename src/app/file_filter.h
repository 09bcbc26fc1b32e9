#pragma once

#include <QString>

namespace pavaneflow {

// Turns a bar-separated filter list, "Name|patterns|Name|patterns", into Qt's
// "Name (patterns);;Name (patterns)". The names are kept as written. Patterns match in any letter
// case, as on the desktop the list was written for ("*.DWI" also finds "song.dwi"), and "*.*"
// matches every file, names without a dot too. Empty trailing entries are ignored.
QString ToQtFilter(const QString& barList);

// The same for a save dialog: each filter's patterns start with its first pattern as written.
// Choosing a filter in a save dialog puts the suffix of its first pattern on the name being
// typed, which must be an extension ("vrma"), not a pattern ("[vV][rR][mM][aA]").
QString ToQtSaveFilter(const QString& barList);

// `path` with "." and `extension` appended when its file name has no extension (no dot); dots in
// folder names do not count.
QString WithDefaultExtension(const QString& path, const QString& extension);

}  // namespace pavaneflow
