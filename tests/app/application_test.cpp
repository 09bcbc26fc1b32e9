#include "app/application.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "app_tests.h"
#include "test_files.h"

namespace pavaneflow {

class ApplicationTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanupTestCase();
  void SettingsLiveUnderTheWizardKeyAndTheApplicationName();
  void CommandLineFileThatCannotBeOpenedIsReportedOverTheEmptyWindow();
  void CommandLineFileIsShownAtStart();
  void VersionIsPrintedWithOrWithoutADisplay();
  void HelpIsInOneLanguage();

 private:
  QString savedOrganization_ = QApplication::organizationName();
  QString savedName_ = QApplication::applicationName();
};

void ApplicationTest::cleanupTestCase() {
  QApplication::setOrganizationName(savedOrganization_);
  QApplication::setApplicationName(savedName_);
}

void ApplicationTest::SettingsLiveUnderTheWizardKeyAndTheApplicationName() {
  Application application;
  QCOMPARE(QApplication::organizationName(),
           QStringLiteral("アプリケーション ウィザードで生成されたローカル アプリケーション"));
  QCOMPARE(QApplication::applicationName(), QStringLiteral("Pavaneflow"));
  QVERIFY(QSettings().fileName().contains(QStringLiteral("Pavaneflow")));
}

void ApplicationTest::CommandLineFileThatCannotBeOpenedIsReportedOverTheEmptyWindow() {
  testing::TestFolder folder;
  Application application;
  QString shown;
  QTimer closer;
  connect(&closer, &QTimer::timeout, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->close();
    }
  });
  closer.start(20);
  const QString missing = folder.Path(QStringLiteral("missing.dwi"));
  application.InitInstance(missing);
  QTRY_VERIFY(!shown.isEmpty());
  QVERIFY2(shown.contains(missing), qPrintable(shown));
  QWidget* window = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->windowTitle().endsWith(QStringLiteral("Pavaneflow"))) {
      window = widget;
    }
  }
  QVERIFY(window != nullptr);
  QCOMPARE(window->windowTitle(), QStringLiteral("無題 - Pavaneflow"));
}

void ApplicationTest::CommandLineFileIsShownAtStart() {
  testing::TestFolder folder;
  Application application;
  application.InitInstance(folder.Write(QStringLiteral("start.dwi"), testing::kThreeModes));
  QWidget* window = QApplication::activeWindow();
  if (window == nullptr) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isVisible()) window = widget;
    }
  }
  QVERIFY(window != nullptr);
  QCOMPARE(window->windowTitle(), QStringLiteral("start.dwi - Pavaneflow"));
}

void ApplicationTest::VersionIsPrintedWithOrWithoutADisplay() {
  // The offscreen platform, and no window system at all: --version must not need one.
  for (const QString& platform : {QStringLiteral("offscreen"), QString()}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
      environment.remove(QString::fromLatin1(name));
    }
    if (!platform.isEmpty()) environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    QProcess app;
    app.setProcessEnvironment(environment);
    app.start(QStringLiteral(PAVANEFLOW_APP), {QStringLiteral("--version")});
    QVERIFY(app.waitForFinished(30000));
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(app.readAllStandardOutput()),
             QStringLiteral("Pavaneflow " PAVANEFLOW_VERSION "\n"));
  }
}

// Qt's own help would mix English option texts and headings into the Japanese.
void ApplicationTest::HelpIsInOneLanguage() {
  for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
    QProcess app;
    app.start(QStringLiteral(PAVANEFLOW_APP), {option});
    QVERIFY(app.waitForFinished(30000));
    QCOMPARE(app.exitCode(), 0);
    const QString help = QString::fromUtf8(app.readAllStandardOutput());
    QVERIFY2(help.startsWith(QStringLiteral("使い方: pavaneflow [オプション] [ファイル]\n")),
             qPrintable(help));
    QVERIFY(help.contains(QStringLiteral("バージョンを表示して終了します")));
    for (const char* english : {"Usage", "Options", "Arguments", "Displays", "file "}) {
      QVERIFY2(!help.contains(QLatin1String(english)), english);
    }
  }
  QProcess wrong;
  wrong.start(QStringLiteral(PAVANEFLOW_APP), {QStringLiteral("--frobnicate")});
  QVERIFY(wrong.waitForFinished(30000));
  QCOMPARE(wrong.exitCode(), 2);
  // Qt may add its own warnings first.
  QVERIFY(QString::fromUtf8(wrong.readAllStandardError())
              .endsWith(QStringLiteral(
                  "pavaneflow: frobnicate というオプションはありません (pavaneflow --help "
                  "で一覧できます)\n")));
}

}  // namespace pavaneflow

int RunApplicationTest(int argc, char* argv[]) {
  pavaneflow::ApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
