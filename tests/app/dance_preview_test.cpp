#include "app/dance_preview.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMediaDevices>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include "app/main_view.h"
#include "app/pad_view.h"
#include "app/song_file.h"
#include "app_tests.h"
#include "chart/dwi_document.h"
#include "fakes.h"
#include "motion/bone_names.h"
#include "motion/classic/run.h"
#include "test_files.h"

namespace pavaneflow {
namespace {

// A form with its preview, over its own document.
struct PreviewForm {
  PreviewForm() : view(document, dialogs, boxes) { view.SetPreview(&preview); }

  bool Open(const QString& path) {
    const bool opened = document.OnOpenDocument(QFile::encodeName(path).toStdString());
    view.SetDocumentPath(path);
    view.OnInitialUpdate();
    return opened;
  }
  void Select(int row) {
    view.findChild<QListWidget*>(QStringLiteral("chartList"))
        ->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    // The preview follows once the changes have settled.
    QCoreApplication::processEvents();
  }

  DWIDocument document;
  testing::FakeFileDialogs dialogs;
  testing::FakeMessageBoxes boxes;
  DancePreview preview;
  MainView view;
};

// A 16-bit mono WAV file of `seconds` of a quiet tone.
QByteArray ToneWav(int seconds) {
  constexpr int kRate = 8000;
  const int samples = kRate * seconds;
  QByteArray wav;
  auto put32 = [&wav](quint32 v) {
    wav.append(4, '\0');
    qToLittleEndian(v, wav.end() - 4);
  };
  auto put16 = [&wav](quint16 v) {
    wav.append(2, '\0');
    qToLittleEndian(v, wav.end() - 2);
  };
  wav.append("RIFF");
  put32(36 + 2 * samples);
  wav.append("WAVEfmt ");
  put32(16);
  put16(1);  // PCM
  put16(1);  // mono
  put32(kRate);
  put32(2 * kRate);
  put16(2);
  put16(16);
  wav.append("data");
  put32(2 * samples);
  for (int i = 0; i < samples; ++i) put16(static_cast<quint16>(i % 20 < 10 ? 2000 : -2000));
  return wav;
}

}  // namespace

class DancePreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheFeetWhereTheSamplerPutsThem() {
    testing::TestFolder folder;
    PreviewForm form;
    QVERIFY(form.Open(folder.Write(QStringLiteral("three.dwi"), testing::kThreeModes)));
    MotionDocument motion;
    Synthesize(form.view.BuildRequest().Request(), motion);
    const BoneTrack left = BoneTrack::FromDocument(motion, kLeftFootIkBone);
    const BoneTrack right = BoneTrack::FromDocument(motion, kRightFootIkBone);
    const BoneTrack centre = BoneTrack::FromDocument(motion, kCentreBone);
    for (const double seconds : {0.0, 0.45, 1.3, 2.05}) {
      form.preview.Seek(seconds);
      const double frame = seconds * 30.0;
      const PadView* pad = form.preview.Pad();
      for (std::size_t i = 0; i < 3; ++i) {
        QCOMPARE(pad->LeftFoot().position[i], left.At(frame).position[i]);
        QCOMPARE(pad->RightFoot().position[i], right.At(frame).position[i]);
        QCOMPARE(pad->Centre().position[i], centre.At(frame).position[i]);
      }
    }
    // Somewhere in between the feet really move.
    QVERIFY(left.At(0.0).position != left.At(1.3 * 30.0).position ||
            right.At(0.0).position != right.At(1.3 * 30.0).position);
  }

  void changingTheChartOrPlayerRefreshesIt() {
    testing::TestFolder folder;
    PreviewForm form;
    QVERIFY(form.Open(folder.Write(QStringLiteral("three.dwi"), testing::kThreeModes)));
    QCOMPARE(form.preview.Pad()->PanelCount(), std::size_t{4});
    form.Select(1);  // DOUBLE: two pads
    QCOMPARE(form.preview.Pad()->PanelCount(), std::size_t{8});
    form.Select(2);  // COUPLE, 1P until 2P is chosen
    form.preview.Seek(0.0);
    QVERIFY(form.preview.Pad()->Centre().position[0] < 0.0);
    form.view.findChild<QRadioButton*>(QStringLiteral("player2Radio"))->click();
    QCoreApplication::processEvents();
    form.preview.Seek(0.0);
    QVERIFY(form.preview.Pad()->Centre().position[0] > 0.0);
  }

  void aMissingSongIsToldAndPlaysSilently() {
    testing::TestFolder folder;
    PreviewForm form;
    QSignalSpy status(&form.preview, &DancePreview::statusMessage);
    QVERIFY(form.Open(folder.Write(QStringLiteral("song.dwi"),
                                   "#TITLE:S;\n#FILE:music\\Gone.ogg;\n#BPM:120;\n"
                                   "#SINGLE:BASIC:1:2468;\n")));
    QVERIFY(form.preview.SongPath().isEmpty());
    QVERIFY(
        form.preview.SongProblem().contains(QStringLiteral("music\\Gone.ogg が見つかりません")));
    QVERIFY(!status.isEmpty());
    QVERIFY(status.last().first().toString().contains(QStringLiteral("音なし")));
    // Still plays, on its own clock.
    form.preview.TogglePlaying();
    QVERIFY(form.preview.IsPlaying());
    QTest::qWait(60);
    form.preview.TogglePlaying();
    QVERIFY(form.preview.Seconds() > 0.0);
  }

  void findsTheSongAsTheGamesFindIt_data() {
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("found");  // relative to the folder; empty for none
    QTest::newRow("as written") << "Music/Song.ogg"
                                << "Music/Song.ogg";
    QTest::newRow("backslash and other case") << "MUSIC\\song.OGG"
                                              << "Music/Song.ogg";
    QTest::newRow("dot folder") << ".\\music\\.\\song.ogg"
                                << "Music/Song.ogg";
    QTest::newRow("up and back") << "..\\dwi\\song.ogg"
                                 << "";
    QTest::newRow("a folder is no song") << "music"
                                         << "";
    QTest::newRow("missing") << "music\\other.ogg"
                             << "";
    QTest::newRow("empty") << ""
                           << "";
    // A path of the game's own folders, or of a folder that is gone: the file of that name beside
    // the chart, in any case.
    QTest::newRow("a game's path") << ".\\music\\default\\BESIDE.MP3"
                                   << "beside.mp3";
    QTest::newRow("a missing folder") << "Songs/Gone/beside.mp3"
                                      << "beside.mp3";
    QTest::newRow("a missing file beside") << ".\\music\\default\\nowhere.mp3"
                                           << "";
  }
  void findsTheSongAsTheGamesFindIt() {
    QFETCH(QString, tag);
    QFETCH(QString, found);
    testing::TestFolder folder;
    folder.Write(QStringLiteral("Music/Song.ogg"), "not really");
    folder.Write(QStringLiteral("beside.mp3"), "not really");
    const QString dwi = folder.Write(QStringLiteral("a.dwi"), "");
    const SongFile song = FindSongFile(dwi, tag);
    if (found.isEmpty()) {
      QVERIFY(song.path.isEmpty());
      QVERIFY(!song.problem.isEmpty());
    } else {
      QCOMPARE(song.path, QDir::cleanPath(folder.Path(found)));
      QVERIFY(song.problem.isEmpty());
    }
  }

  // A song that is there either plays or, without a sound output (a test machine), the reason
  // for staying silent names that; either way making the player must not hang.
  void aSongThatIsThereIsUsedOrTheOutputIsMissing() {
    testing::TestFolder folder;
    folder.Write(QStringLiteral("Music/Song.wav"), "RIFF");
    PreviewForm form;
    QVERIFY(form.Open(folder.Write(QStringLiteral("song.dwi"),
                                   "#FILE:music\\song.WAV;\n#BPM:120;\n#SINGLE:BASIC:1:2468;\n")));
    if (form.preview.SongPath().isEmpty()) {
      QVERIFY(form.preview.SongProblem().contains(QStringLiteral("出力先")));
    } else {
      QCOMPARE(form.preview.SongPath(),
               QDir::cleanPath(folder.Path(QStringLiteral("Music/Song.wav"))));
    }
  }

  // With a sound output the song plays and the picture follows it; without one (CI) there is
  // nothing to hear.
  void playsTheSongAndThePictureFollowsIt() {
    if (QMediaDevices::audioOutputs().isEmpty()) QSKIP("no sound output on this machine");
    testing::TestFolder folder;
    folder.Write(QStringLiteral("tone.wav"), ToneWav(4));
    PreviewForm form;
    QVERIFY(
        form.Open(folder.Write(QStringLiteral("song.dwi"),
                               "#FILE:tone.wav;\n#BPM:120;\n#SINGLE:BASIC:1:2468246824682468;\n")));
    QVERIFY2(!form.preview.SongPath().isEmpty(), qPrintable(form.preview.SongProblem()));
    form.preview.TogglePlaying();
    QTest::qWait(1500);
    QVERIFY2(form.preview.SongProblem().isEmpty(), qPrintable(form.preview.SongProblem()));
    QVERIFY(form.preview.IsPlaying());
    QVERIFY2(form.preview.Seconds() > 0.5 && form.preview.Seconds() < 3.0,
             qPrintable(QString::number(form.preview.Seconds())));
    form.preview.TogglePlaying();
  }

  // Not a check: for the longest corpus chart, how long making its dance takes (each change of
  // the form) and one frame of the picture (each tick while playing).
  void measuresAFrame() {
    const QString longest =
        QStringLiteral(PAVANEFLOW_SOURCE_DIR "/../shared/corpus/dwi/002-v-3.dwi");
    if (!QFileInfo::exists(longest)) QSKIP("no corpus");
    PreviewForm form;
    QVERIFY(form.Open(longest));
    QElapsedTimer refresh;
    refresh.start();
    form.preview.SetRequest(form.view.BuildRequest().Request(), longest);
    qInfo("preview refresh: %.1f ms", static_cast<double>(refresh.nsecsElapsed()) / 1e6);
    form.preview.Pad()->resize(480, 360);
    QPixmap target(form.preview.Pad()->size());
    QElapsedTimer timer;
    timer.start();
    constexpr int kFrames = 600;
    for (int i = 0; i < kFrames; ++i) {
      form.preview.Seek(60.0 + i / 60.0);
      form.preview.Pad()->render(&target);
    }
    qInfo("preview frame: %.3f ms (sample and paint)",
          static_cast<double>(timer.nsecsElapsed()) / 1e6 / kFrames);
  }
};

}  // namespace pavaneflow

int RunDancePreviewTest(int argc, char* argv[]) {
  pavaneflow::DancePreviewTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "dance_preview_test.moc"
