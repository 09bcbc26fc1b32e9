#include "app/every_chart_writer.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include "app/native_path.h"
#include "app_tests.h"
#include "test_files.h"

namespace pavaneflow {

class EveryChartWriterTest : public QObject {
  Q_OBJECT

 private slots:
  void ProgressCountsTheMotionsOfOneSongOrTheSongsOfSeveral();
  void StoppingKeepsWhatWasWritten();
  void FailuresAreCountedNamedAndTheRestWritten();
};

namespace {

EveryChartWriter::Song SongAt(const QString& file, const QString& folder) {
  return {ToNativePath(file), ToNativePath(folder)};
}

}  // namespace

void EveryChartWriterTest::ProgressCountsTheMotionsOfOneSongOrTheSongsOfSeveral() {
  testing::TestFolder folder;
  const QString three = folder.Write(QStringLiteral("three.dwi"), testing::kThreeModes);
  const QString one = folder.Write(QStringLiteral("one.dwi"), "#BPM:90;\n#SINGLE:BASIC:1:2468;\n");
  QStringList heard;
  auto progress = [&heard](int done, int total, const QString& file) {
    heard += QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(QFileInfo(file).fileName());
    return true;
  };
  const auto single = EveryChartWriter::Write({SongAt(three, folder.Path(QStringLiteral("a")))},
                                              DanceSetup(), progress);
  QCOMPARE(single.written, 4);
  QCOMPARE(heard,
           QStringList({QStringLiteral("0/4 three_SINGLE_BASIC.vmd"),
                        QStringLiteral("1/4 three_DOUBLE_ANOTHER.vmd"),
                        QStringLiteral("2/4 three_COUPLE_MANIAC_1P.vmd"),
                        QStringLiteral("3/4 three_COUPLE_MANIAC_2P.vmd"), QStringLiteral("4/4 ")}));
  heard.clear();
  const auto several = EveryChartWriter::Write({SongAt(three, folder.Path(QStringLiteral("b"))),
                                                SongAt(one, folder.Path(QStringLiteral("b")))},
                                               DanceSetup(), progress);
  QCOMPARE(several.written, 5);
  QCOMPARE(heard, QStringList({QStringLiteral("0/2 three.dwi"), QStringLiteral("1/2 one.dwi"),
                               QStringLiteral("2/2 ")}));
  QCOMPARE(EveryChartWriter::SummaryText(several),
           QStringLiteral("モーションを 5 個書き出しました。"));
}

void EveryChartWriterTest::StoppingKeepsWhatWasWritten() {
  testing::TestFolder folder;
  const QString three = folder.Write(QStringLiteral("three.dwi"), testing::kThreeModes);
  const auto summary =
      EveryChartWriter::Write({SongAt(three, folder.Path(QStringLiteral("out")))}, DanceSetup(),
                              [](int done, int, const QString&) { return done < 2; });
  QVERIFY(summary.cancelled);
  QCOMPARE(summary.written, 2);
  QCOMPARE(QDir(folder.Path(QStringLiteral("out"))).entryList(QDir::Files).size(), 2);
  QCOMPARE(EveryChartWriter::SummaryText(summary),
           QStringLiteral("途中で中止しました。\nモーションを 2 個書き出しました。"));
}

void EveryChartWriterTest::FailuresAreCountedNamedAndTheRestWritten() {
  testing::TestFolder folder;
  const QString good = folder.Write(QStringLiteral("good.dwi"), testing::kThreeModes);
  const QString empty = folder.Write(QStringLiteral("empty.dwi"), "#BPM:120;\n");
  const QString motion =
      folder.Write(QStringLiteral("dance.vmd"), QByteArray("Vocaloid Motion Data 0002", 25));
  // A file where the folder of the motions should be.
  const QString blocked = folder.Write(QStringLiteral("blocked"), "a file");
  const auto summary = EveryChartWriter::Write(
      {SongAt(good, folder.Path(QStringLiteral("out"))),
       SongAt(folder.Path(QStringLiteral("missing.dwi")), folder.Path(QStringLiteral("out"))),
       SongAt(empty, folder.Path(QStringLiteral("out"))),
       SongAt(motion, folder.Path(QStringLiteral("out"))), SongAt(good, blocked)},
      DanceSetup(), nullptr);
  QCOMPARE(summary.written, 4);
  QCOMPARE(summary.notRead, 2);
  QCOMPARE(summary.noChart, 1);
  QCOMPARE(summary.notWritten, 4);
  QCOMPARE(summary.failures.size(), 7);
  QVERIFY(summary.failures[0].startsWith(
      QDir::toNativeSeparators(folder.Path(QStringLiteral("missing.dwi")))));
  QCOMPARE(summary.failures[1],
           QDir::toNativeSeparators(empty) + QStringLiteral(": 譜面がありません"));
  const QString text = EveryChartWriter::SummaryText(summary);
  QVERIFY2(text.startsWith(QStringLiteral(
               "モーションを 4 個書き出しました。\n譜面のない曲 1 曲、読めなかったファイル 2 個、"
               "書き出せなかったモーション 4 個\n")),
           qPrintable(text));
  QVERIFY(QFileInfo::exists(folder.Path(QStringLiteral("out/good_SINGLE_BASIC.vmd"))));
}

}  // namespace pavaneflow

int RunEveryChartWriterTest(int argc, char* argv[]) {
  pavaneflow::EveryChartWriterTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "every_chart_writer_test.moc"
