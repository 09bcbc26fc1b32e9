#include "app/file_filter.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace pavaneflow {

namespace {

QString CaseInsensitivePattern(const QString& pattern) {
  if (pattern == QStringLiteral("*.*")) return QStringLiteral("*");
  QString result;
  for (const QChar c : pattern) {
    const QChar lower = c.toLower();
    const QChar upper = c.toUpper();
    if (lower == upper) {
      result += c;
    } else {
      result += QLatin1Char('[') + lower + upper + QLatin1Char(']');
    }
  }
  return result;
}

// Qt's filter list for `barList`; with `plainFirst`, the patterns of each led by its first one
// as written.
QString QtFilter(const QString& barList, bool plainFirst) {
  const QStringList parts = barList.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& name = parts[i];
    if (name.isEmpty()) break;
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      patterns += CaseInsensitivePattern(pattern.trimmed());
    }
    // Only an extension: "*.*" would put ".*" on the name.
    const QString first = parts[i + 1].section(QLatin1Char(';'), 0, 0).trimmed();
    const QString suffix = QFileInfo(first).suffix();
    if (plainFirst && !suffix.isEmpty() &&
        !suffix.contains(QRegularExpression(QStringLiteral("[*?[]"))) &&
        patterns.first() != first) {
      patterns.prepend(first);
    }
    filters += name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace

QString ToQtFilter(const QString& barList) {
  return QtFilter(barList, false);
}

QString ToQtSaveFilter(const QString& barList) {
  return QtFilter(barList, true);
}

QString WithDefaultExtension(const QString& path, const QString& extension) {
  if (QFileInfo(path).fileName().contains(QLatin1Char('.'))) return path;
  return path + QLatin1Char('.') + extension;
}

}  // namespace pavaneflow
