#include <cstring>
#include <iostream>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include "app/application.h"

namespace {

void DescribeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("DWI ファイルや StepMania の .sm/.ssc ファイルの譜面からダンスモーション (VMD) "
                     "を生成します。"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("開く譜面ファイル (.dwi, .sm, .ssc)"),
                               QStringLiteral("[file]"));
}

// --help and --version only print, so they are answered before any window system is touched:
// they work over a remote shell or in a script with no display.
bool AsksOnlyForText(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
      if (std::strcmp(argv[i], option) == 0) return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (AsksOnlyForText(argc, argv)) {
    QCoreApplication textOnly(argc, argv);
    pavaneflow::Application::SetNames();
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.process(textOnly);  // prints and ends the process
    return 0;
  }

  QApplication qtApplication(argc, argv);
  pavaneflow::Application application;

  QCommandLineParser parser;
  DescribeCommandLine(parser);
  parser.process(qtApplication);

  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::cerr << "pavaneflow: only one file can be opened\n";
    return 2;
  }
  if (!application.InitInstance(files.value(0))) return 1;
  return QApplication::exec();
}
