#include "app/song_file.h"

#include <QDir>
#include <QFileInfo>

namespace pavaneflow {
namespace {

// The entry of `folder` called `name`, ignoring case; empty if there is none.
QString MatchEntry(const QDir& folder, const QString& name) {
  if (QFileInfo::exists(folder.filePath(name))) return folder.filePath(name);
  const QStringList entries =
      folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& entry : entries) {
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return folder.filePath(entry);
  }
  return {};
}

// The entry that `parts` lead to from `folder`, each part matched ignoring case; empty if one is
// missing.
QString FollowPath(QDir folder, const QStringList& parts) {
  QString found;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const QString& part = parts[i];
    if (part == QStringLiteral(".")) continue;
    if (part == QStringLiteral("..")) {
      if (!folder.cdUp()) return {};
      continue;
    }
    found = MatchEntry(folder, part);
    if (found.isEmpty()) return {};
    if (i + 1 < parts.size()) folder.setPath(found);
  }
  return found;
}

}  // namespace

SongFile FindSongFile(const QString& dwiPath, const QString& fileTag) {
  const QString tag = fileTag.trimmed();
  if (tag.isEmpty()) return {{}, QStringLiteral("曲のファイルが指定されていません (#FILE)")};
  QString relative = tag;
  relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const QString notFound = QStringLiteral("曲のファイル %1 が見つかりません").arg(tag);

  const QDir chartFolder = QFileInfo(dwiPath).absoluteDir();
  const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  QString found = FollowPath(QDir::isAbsolutePath(relative) ? QDir::root() : chartFolder, parts);
  // Packs name the song as it lay in the game's own folders (".\music\default\song.mp3"),
  // and a song named so that is not there is looked for beside the chart by its file name, as
  // the games do.
  if (found.isEmpty() && !parts.isEmpty()) found = MatchEntry(chartFolder, parts.last());
  if (found.isEmpty() || !QFileInfo(found).isFile()) return {{}, notFound};
  return {QDir::cleanPath(found), {}};
}

}  // namespace pavaneflow
