#include <iostream>

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include "app/application.h"

int main(int argc, char* argv[]) {
  QApplication qtApplication(argc, argv);
  pavaneflow::Application application;

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("DWI ファイルの譜面からダンスモーション (VMD) を生成します。"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("開く DWI ファイル"),
                               QStringLiteral("[file]"));
  parser.process(qtApplication);

  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::cerr << "pavaneflow: only one file can be opened\n";
    return 2;
  }
  if (!application.InitInstance(files.value(0))) return 1;
  return QApplication::exec();
}
