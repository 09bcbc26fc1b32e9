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
  void CommandLineFileThatCannotBeOpenedIsReportedAndFails();
  void CommandLineFileIsShownAtStart();
  void VersionIsPrintedWithOrWithoutADisplay();

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

void ApplicationTest::CommandLineFileThatCannotBeOpenedIsReportedAndFails() {
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
  QVERIFY(!application.InitInstance(missing));
  QVERIFY2(shown.contains(missing), qPrintable(shown));
  for (QWidget* widget : QApplication::topLevelWidgets()) QVERIFY(!widget->isVisible());
}

void ApplicationTest::CommandLineFileIsShownAtStart() {
  testing::TestFolder folder;
  Application application;
  QVERIFY(
      application.InitInstance(folder.Write(QStringLiteral("start.dwi"), testing::kThreeModes)));
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

}  // namespace pavaneflow

int RunApplicationTest(int argc, char* argv[]) {
  pavaneflow::ApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
