#pragma once

#include <filesystem>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace pavaneflow {

// Paths cross between Qt and the core as the file system's own bytes, so names that are not
// valid in the locale's encoding still reach the right file.
inline std::filesystem::path ToNativePath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

inline QString FromNativePath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

}  // namespace pavaneflow
