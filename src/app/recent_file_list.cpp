#include "app/recent_file_list.h"

#include <QFileInfo>
#include <QSettings>

namespace pavaneflow {

namespace {

const QString kGroup = QStringLiteral("Recent File List");

QString EntryKey(qsizetype index) {
  return QStringLiteral("File%1").arg(index + 1);
}

QString Normalized(const QString& path) {
  return QFileInfo(path).absoluteFilePath();
}

}  // namespace

RecentFileList::RecentFileList() {
  QSettings settings;
  settings.beginGroup(kGroup);
  for (qsizetype i = 0; i < kMaxFiles; ++i) {
    const QString path = settings.value(EntryKey(i)).toString();
    if (!path.isEmpty() && !files_.contains(path)) files_ += path;
  }
}

void RecentFileList::Add(const QString& path) {
  const QString entry = Normalized(path);
  files_.removeAll(entry);
  files_.prepend(entry);
  while (files_.size() > kMaxFiles) files_.removeLast();
  Save();
}

void RecentFileList::Remove(const QString& path) {
  if (files_.removeAll(Normalized(path)) > 0) Save();
}

void RecentFileList::Save() const {
  QSettings settings;
  settings.remove(kGroup);
  settings.beginGroup(kGroup);
  for (qsizetype i = 0; i < files_.size(); ++i) settings.setValue(EntryKey(i), files_[i]);
}

}  // namespace pavaneflow
