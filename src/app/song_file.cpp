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

}  // namespace

SongFile FindSongFile(const QString& dwiPath, const QString& fileTag) {
  const QString tag = fileTag.trimmed();
  if (tag.isEmpty()) return {{}, QStringLiteral("曲のファイルが指定されていません (#FILE)")};
  QString relative = tag;
  relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const QString notFound = QStringLiteral("曲のファイル %1 が見つかりません").arg(tag);

  QDir folder = QFileInfo(dwiPath).absoluteDir();
  if (QDir::isAbsolutePath(relative)) folder = QDir::root();
  const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  QString found;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const QString& part = parts[i];
    if (part == QStringLiteral(".")) continue;
    if (part == QStringLiteral("..")) {
      if (!folder.cdUp()) return {{}, notFound};
      continue;
    }
    found = MatchEntry(folder, part);
    if (found.isEmpty()) return {{}, notFound};
    if (i + 1 < parts.size()) folder.setPath(found);
  }
  if (found.isEmpty() || !QFileInfo(found).isFile()) return {{}, notFound};
  return {QDir::cleanPath(found), {}};
}

}  // namespace pavaneflow
