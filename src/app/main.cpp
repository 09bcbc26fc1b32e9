#include <cstdio>
#include <cstring>
#include <iostream>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include "app/application.h"

namespace {

// The whole of --help, in Japanese as the rest of the application: Qt's own help would mix in its
// English option texts and headings.
constexpr char kHelp[] =
    "使い方: pavaneflow [オプション] [ファイル]\n"
    "DWI ファイルや .sm/.ssc ファイルの譜面からダンスモーション (VMD) を生成します。\n"
    "\n"
    "オプション:\n"
    "  -h, --help     このヘルプを表示して終了します\n"
    "  -v, --version  バージョンを表示して終了します\n"
    "\n"
    "引数:\n"
    "  ファイル       開く譜面ファイル (.dwi, .sm, .ssc) か、曲のフォルダー\n";

// --help and --version only print, so they are answered before any window system is touched:
// they work over a remote shell or in a script with no display. False when neither was asked.
bool AnswerText(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"-h", "--help", "-?", "--help-all"}) {
      if (std::strcmp(argv[i], option) == 0) {
        std::fputs(kHelp, stdout);
        return true;
      }
    }
    for (const char* option : {"-v", "--version"}) {
      if (std::strcmp(argv[i], option) == 0) {
        std::puts("Pavaneflow " PAVANEFLOW_VERSION);
        return true;
      }
    }
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (AnswerText(argc, argv)) return 0;

  QApplication qtApplication(argc, argv);
  pavaneflow::Application application;

  QCommandLineParser parser;
  parser.addPositionalArgument(QStringLiteral("file"), QString());
  if (!parser.parse(QCoreApplication::arguments())) {
    std::cerr << "pavaneflow: "
              << parser.unknownOptionNames().join(QStringLiteral(", ")).toStdString()
              << " というオプションはありません (pavaneflow --help で一覧できます)\n";
    return 2;
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::cerr << "pavaneflow: 開けるファイルは 1 つだけです\n";
    return 2;
  }
  application.InitInstance(files.value(0));
  return QApplication::exec();
}
