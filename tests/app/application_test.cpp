#include "app/application.h"

#include <QApplication>
#include <QMessageBox>
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

}  // namespace pavaneflow

int RunApplicationTest(int argc, char* argv[]) {
  pavaneflow::ApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
