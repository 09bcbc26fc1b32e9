// Runs every application test class in one process. Settings and everything else written under
// the home folder go to a private folder that is removed at the end.

#include <QApplication>
#include <QByteArray>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "app_tests.h"

int main(int argc, char* argv[]) {
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  qputenv("HOME", QFile::encodeName(home.path()));
  qunsetenv("XDG_CONFIG_HOME");
  qunsetenv("XDG_DATA_HOME");
  QStandardPaths::setTestModeEnabled(true);

  QApplication application(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Pavaneflow Tests"));
  QApplication::setApplicationName(QStringLiteral("app_tests"));

  int failures = 0;
  for (const auto run : {RunFileFilterTest, RunErrorDialogTest, RunMainViewTest, RunMainWindowTest,
                         RunApplicationTest, RunDancePreviewTest, RunEveryChartWriterTest}) {
    failures += run(argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
