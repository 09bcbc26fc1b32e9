#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace pavaneflow::testing {

// A private folder for one test, with helpers to write files into it.
class TestFolder {
 public:
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Writes `content` (UTF-8) as `name` and returns its path.
  QString Write(const QString& name, const QByteArray& content) const {
    const QString path = Path(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return {};
    return path;
  }

  QStringList Entries() const {
    return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  }

 private:
  QTemporaryDir dir_;
};

// One chart of each mode; the COUPLE chart's two players step differently.
inline const QByteArray kThreeModes =
    "#TITLE:Three Modes;\n#ARTIST:Tester;\n#BPM:150;\n#GAP:100;\n"
    "#SINGLE:BASIC:3:2468024680;\n"
    "#DOUBLE:ANOTHER:5:2468:8642;\n"
    "#COUPLE:MANIAC:7:24682468:A0B0A0B0;\n";

}  // namespace pavaneflow::testing
