#pragma once

#include <QString>
#include <QStringList>

namespace pavaneflow {

// The most recently opened files, most recent first, at most kMaxFiles. Kept in the per-user
// settings (QSettings with the application's organisation and name) and written back on every
// change, so the list survives a crash as well as a normal exit.
class RecentFileList {
 public:
  static constexpr qsizetype kMaxFiles = 4;

  // Loads the list from the settings.
  RecentFileList();

  // Puts `path` (made absolute) first, dropping an older entry for it and the oldest beyond the
  // cap.
  void Add(const QString& path);
  // Drops `path`, for a file that could no longer be opened.
  void Remove(const QString& path);

  const QStringList& Files() const { return files_; }

 private:
  void Save() const;

  QStringList files_;
};

}  // namespace pavaneflow
