#include "app/file_filter.h"

#include <QRegularExpression>
#include <QTest>

#include "app_tests.h"

namespace pavaneflow {

class FileFilterTest : public QObject {
  Q_OBJECT

 private slots:
  void BarListsBecomeQtFilters();
  void ConvertedPatternsMatchAnyCase();
  void SaveFiltersLeadWithTheExtensionAsWritten();
  void DefaultExtensionIsAddedOnlyWithoutOne();
};

void FileFilterTest::BarListsBecomeQtFilters() {
  struct Case {
    QString barList;
    QString expected;
  };
  const Case cases[] = {
      {QStringLiteral("モーションファイル(*.VMD)|*.vmd|すべてのファイル(*.*)|*.*"),
       QStringLiteral("モーションファイル(*.VMD) (*.[vV][mM][dD]);;すべてのファイル(*.*) (*)")},
      {QStringLiteral("DWI ファイル (*.DWI)|*.DWI||"),
       QStringLiteral("DWI ファイル (*.DWI) (*.[dD][wW][iI])")},
      {QStringLiteral("Charts|*.dwi;*.sm"), QStringLiteral("Charts (*.[dD][wW][iI] *.[sS][mM])")},
      {QStringLiteral("Digits|*.7z"), QStringLiteral("Digits (*.7[zZ])")},
      {QString(), QString()},
  };
  for (const Case& c : cases) QCOMPARE(ToQtFilter(c.barList), c.expected);
}

// The converted pattern is what the file dialog matches names with.
void FileFilterTest::ConvertedPatternsMatchAnyCase() {
  const QString filter = ToQtFilter(QStringLiteral("DWI|*.DWI"));
  const QString pattern = filter.section(QLatin1Char('('), 1).chopped(1);
  const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern));
  for (const QString& name :
       {QStringLiteral("a.dwi"), QStringLiteral("a.DWI"), QStringLiteral("a.Dwi")}) {
    QVERIFY2(re.match(name).hasMatch(), qPrintable(name));
  }
  QVERIFY(!re.match(QStringLiteral("a.dwx")).hasMatch());
}

// Choosing a filter in a save dialog puts its first pattern's suffix on the name: a real one.
void FileFilterTest::SaveFiltersLeadWithTheExtensionAsWritten() {
  QCOMPARE(ToQtSaveFilter(QStringLiteral("VRM(*.VRMA)|*.vrma|すべて(*.*)|*.*")),
           QStringLiteral("VRM(*.VRMA) (*.vrma *.[vV][rR][mM][aA]);;すべて(*.*) (*)"));
}

void FileFilterTest::DefaultExtensionIsAddedOnlyWithoutOne() {
  struct Case {
    QString typed;
    QString expected;
  };
  const Case cases[] = {
      {QStringLiteral("/home/u/dance"), QStringLiteral("/home/u/dance.vmd")},
      {QStringLiteral("/home/u/my.motions/dance"), QStringLiteral("/home/u/my.motions/dance.vmd")},
      {QStringLiteral("/home/u/dance.vmd"), QStringLiteral("/home/u/dance.vmd")},
      {QStringLiteral("/home/u/dance.VMD"), QStringLiteral("/home/u/dance.VMD")},
      {QStringLiteral("/home/u/dance.v2"), QStringLiteral("/home/u/dance.v2")},
      {QStringLiteral("dance"), QStringLiteral("dance.vmd")},
  };
  for (const Case& c : cases) {
    QCOMPARE(WithDefaultExtension(c.typed, QStringLiteral("vmd")), c.expected);
  }
}

}  // namespace pavaneflow

int RunFileFilterTest(int argc, char* argv[]) {
  pavaneflow::FileFilterTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "file_filter_test.moc"
