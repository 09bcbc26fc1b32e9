#include "app/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include <clocale>

#include "app/dance_preview.h"
#include "app/main_view.h"
#include "app_tests.h"
#include "chart/dwi_document.h"
#include "fakes.h"
#include "test_files.h"

namespace pavaneflow {

namespace {

// A main window over its own document.
struct Shell {
  Shell() : window(document, dialogs, boxes) {}

  QMenu* Menu(int index) const { return window.menuBar()->actions().at(index)->menu(); }
  QStringList FileMenuTexts() const {
    QStringList texts;
    for (const QAction* action : Menu(0)->actions()) {
      if (action->isVisible())
        texts += action->isSeparator() ? QStringLiteral("-") : action->text();
    }
    return texts;
  }
  QAction* FileMenuAction(const QString& text) const {
    for (QAction* action : Menu(0)->actions()) {
      if (action->text() == text) return action;
    }
    return nullptr;
  }
  QStringList ChartNames() const {
    QStringList names;
    const auto* list = window.View()->findChild<QListWidget*>(QStringLiteral("chartList"));
    for (int i = 0; i < list->count(); ++i) names += list->item(i)->text();
    return names;
  }

  DWIDocument document;
  testing::FakeFileDialogs dialogs;
  testing::FakeMessageBoxes boxes;
  MainWindow window;
};

QString RecentLabel(int number, const QString& path) {
  return QStringLiteral("&%1 %2").arg(number).arg(path);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void MenuFlagsAndTitleOfAnEmptyDocument();
  void WindowSmallerThanTheFormScrollsIt();
  void CtrlOOpensTheChosenFileAndTitlesTheWindow();
  void RecentFilesKeepTheFourLatestAcrossRestarts();
  void RecentEntryThatNoLongerOpensIsDropped();
  void DroppedFileIsOpened();
  void FailedOpenIsReportedAndLeavesAnEmptyUntitledDocument();
  void GameTimingReadsTheFileAgainAndIsRemembered();
  void AMotionIsRefusedAndTheOpenDocumentStays();
  void SkippedChartsAreNamedInTheStatusBarUntilTheNextOpen();
  void OpeningAnotherFileRewindsThePreview();
  void TheReasonOfAFailedOpenIsInTheUsersLanguage();
  void TheHintButtonTurnsGameTimingOnAndReadsAgain();
  void FilesWithNothingToDanceAreToldAndTheStaleStatusGoes();
  void AFolderOpensItsFirstSongFromTheMenuOrADrop();
  void GenerateAllWritesEveryChartOfTheSongOrOfTheFolder();
};

void MainWindowTest::init() {
  QSettings().clear();
}

void MainWindowTest::MenuFlagsAndTitleOfAnEmptyDocument() {
  Shell shell;
  shell.window.NewDocument();
  QCOMPARE(shell.window.windowTitle(), QStringLiteral("無題 - Pavaneflow"));
  QCOMPARE(shell.Menu(0)->title(), QStringLiteral("ファイル(&F)"));
  QCOMPARE(shell.FileMenuTexts(),
           QStringList({QStringLiteral("開く(&O)..."), QStringLiteral("フォルダーを開く(&D)..."),
                        QStringLiteral("モデル(&M)..."), QStringLiteral("-"),
                        QStringLiteral("最近使ったファイル"), QStringLiteral("-"),
                        QStringLiteral("終了(&X)")}));
  QVERIFY(!shell.FileMenuAction(QStringLiteral("最近使ったファイル"))->isEnabled());
  QCOMPARE(shell.FileMenuAction(QStringLiteral("開く(&O)..."))->shortcut(),
           QKeySequence(Qt::CTRL | Qt::Key_O));
  // "モデル..." asks for a model file as the form's button does.
  shell.FileMenuAction(QStringLiteral("モデル(&M)..."))->trigger();
  QCOMPARE(shell.dialogs.openFilters.size(), 1);
  QVERIFY(shell.dialogs.openFilters.front().contains(QStringLiteral("*.VRM")));
  QCOMPARE(shell.Menu(1)->title(), QStringLiteral("ヘルプ(&H)"));
  QCOMPARE(shell.Menu(1)->actions().size(), 1);
  QCOMPARE(shell.Menu(1)->actions().first()->text(), QStringLiteral("バージョン情報(&A)..."));

  QVERIFY(shell.window.findChildren<QToolBar*>().isEmpty());
  // The preview and the save step report in the status bar.
  QVERIFY(shell.window.findChild<QStatusBar*>() != nullptr);
  const Qt::WindowFlags flags = shell.window.windowFlags();
  QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
  QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(shell.window.maximumSize().width() > shell.window.width());
}

void MainWindowTest::WindowSmallerThanTheFormScrollsIt() {
  Shell shell;
  shell.window.NewDocument();
  shell.window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&shell.window));
  auto* area = shell.window.findChild<QScrollArea*>();
  QVERIFY(area != nullptr);
  QVERIFY(!area->verticalScrollBar()->isVisible());
  QVERIFY(!area->horizontalScrollBar()->isVisible());

  shell.window.resize(shell.window.size() / 2);
  QTRY_VERIFY(area->verticalScrollBar()->isVisible());
  QVERIFY(area->horizontalScrollBar()->isVisible());
  // The controls keep their size; the form is scrolled, not squeezed.
  QVERIFY(shell.window.View()->height() >= shell.window.View()->minimumSizeHint().height());
}

void MainWindowTest::CtrlOOpensTheChosenFileAndTitlesTheWindow() {
  testing::TestFolder folder;
  Shell shell;
  shell.dialogs.openAnswers = {folder.Write(QStringLiteral("Three.DWI"), testing::kThreeModes)};
  shell.window.show();
  shell.window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&shell.window));

  QTest::keyClick(&shell.window, Qt::Key_O, Qt::ControlModifier);
  QCOMPARE(shell.dialogs.openFilters.size(), 1);
  QVERIFY(shell.dialogs.openFilters.first().startsWith(QStringLiteral(
      "譜面ファイル (*.DWI;*.SM;*.SSC) (*.[dD][wW][iI] *.[sS][mM] *.[sS][sS][cC])")));
  QCOMPARE(shell.window.windowTitle(), QStringLiteral("Three.DWI - Pavaneflow"));
  QCOMPARE(shell.ChartNames(),
           QStringList({QStringLiteral("SINGLE BASIC (3)"), QStringLiteral("DOUBLE ANOTHER (5)"),
                        QStringLiteral("COUPLE MANIAC (7)")}));

  // Cancelling the dialog keeps the open file.
  QTest::keyClick(&shell.window, Qt::Key_O, Qt::ControlModifier);
  QCOMPARE(shell.dialogs.openFilters.size(), 2);
  QCOMPARE(shell.ChartNames().size(), 3);
}

void MainWindowTest::RecentFilesKeepTheFourLatestAcrossRestarts() {
  testing::TestFolder folder;
  QStringList paths;
  for (const char* name : {"a.dwi", "b.dwi", "c.dwi", "d.dwi", "e.dwi"}) {
    paths += folder.Write(QString::fromLatin1(name), testing::kThreeModes);
  }
  {
    Shell shell;
    for (const QString& path : paths) QVERIFY(shell.window.OpenDocument(path));
    QVERIFY(shell.window.OpenDocument(paths[2]));  // again: moves to the front
    QCOMPARE(shell.window.RecentFiles().Files(),
             QStringList({paths[2], paths[4], paths[3], paths[1]}));
    QCOMPARE(
        shell.FileMenuTexts(),
        QStringList({QStringLiteral("開く(&O)..."), QStringLiteral("フォルダーを開く(&D)..."),
                     QStringLiteral("モデル(&M)..."), QStringLiteral("-"), RecentLabel(1, paths[2]),
                     RecentLabel(2, paths[4]), RecentLabel(3, paths[3]), RecentLabel(4, paths[1]),
                     QStringLiteral("-"), QStringLiteral("終了(&X)")}));
  }

  Shell restarted;
  QCOMPARE(restarted.window.RecentFiles().Files(),
           QStringList({paths[2], paths[4], paths[3], paths[1]}));
  restarted.FileMenuAction(RecentLabel(3, paths[3]))->trigger();
  QCOMPARE(restarted.window.windowTitle(), QStringLiteral("d.dwi - Pavaneflow"));
  QCOMPARE(restarted.window.RecentFiles().Files(),
           QStringList({paths[3], paths[2], paths[4], paths[1]}));
}

void MainWindowTest::RecentEntryThatNoLongerOpensIsDropped() {
  testing::TestFolder folder;
  const QString gone = folder.Write(QStringLiteral("gone.dwi"), testing::kThreeModes);
  const QString kept = folder.Write(QStringLiteral("kept.dwi"), testing::kThreeModes);
  Shell shell;
  QVERIFY(shell.window.OpenDocument(gone));
  QVERIFY(shell.window.OpenDocument(kept));
  QVERIFY(QFile::remove(gone));

  shell.FileMenuAction(RecentLabel(2, gone))->trigger();
  QCOMPARE(shell.boxes.criticals.size(), 1);
  QCOMPARE(shell.window.RecentFiles().Files(), QStringList({kept}));
  QCOMPARE(Shell().window.RecentFiles().Files(), QStringList({kept}));
}

void MainWindowTest::DroppedFileIsOpened() {
  testing::TestFolder folder;
  const QString path = folder.Write(QStringLiteral("dropped.dwi"), testing::kThreeModes);
  Shell shell;

  QMimeData text;
  text.setText(QStringLiteral("not a file"));
  QDragEnterEvent textEnter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&shell.window, &textEnter);
  QVERIFY(!textEnter.isAccepted());

  QMimeData files;
  files.setUrls(
      {QUrl(QStringLiteral("https://example.invalid/remote.dwi")), QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&shell.window, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&shell.window, &drop);
  QVERIFY(drop.isAccepted());

  QTRY_COMPARE(shell.window.windowTitle(), QStringLiteral("dropped.dwi - Pavaneflow"));
  QCOMPARE(shell.ChartNames().size(), 3);
  QCOMPARE(shell.window.RecentFiles().Files(), QStringList({path}));
}

void MainWindowTest::FailedOpenIsReportedAndLeavesAnEmptyUntitledDocument() {
  testing::TestFolder folder;
  Shell shell;
  QVERIFY(
      shell.window.OpenDocument(folder.Write(QStringLiteral("good.dwi"), testing::kThreeModes)));
  const QString missing = folder.Path(QStringLiteral("missing.dwi"));

  QVERIFY(!shell.window.OpenDocument(missing));
  QCOMPARE(shell.boxes.criticals.size(), 1);
  QVERIFY2(shell.boxes.criticals.first().contains(missing),
           qPrintable(shell.boxes.criticals.first()));
  QVERIFY(shell.window.LastOpenError().contains(missing));
  QVERIFY(shell.window.LastOpenError().contains(QStringLiteral("No such file or directory")));
  QCOMPARE(shell.window.windowTitle(), QStringLiteral("無題 - Pavaneflow"));
  QVERIFY(shell.ChartNames().isEmpty());
  QVERIFY(shell.document.scores.empty());
  QCOMPARE(shell.window.RecentFiles().Files().size(), 1);
}

void MainWindowTest::GameTimingReadsTheFileAgainAndIsRemembered() {
  // Read the classic way, the unterminated SINGLE chart swallows the COUPLE one.
  testing::TestFolder folder;
  const QString path = folder.Write(
      QStringLiteral("timing.dwi"),
      "#TITLE:Timing;\n#BPM:120;\n#CHANGEBPM:4=60;\n#SINGLE:BASIC:1:[2222]\n#DISPLAYBPM:*\n"
      "#COUPLE:MANIAC:1:24:68;\n#DOUBLE:ANOTHER:1:2468:8642;\n");
  const QStringList classicCharts = {QStringLiteral("SINGLE BASIC (1)"),
                                     QStringLiteral("DOUBLE ANOTHER (1)")};
  const QStringList gameCharts = {QStringLiteral("SINGLE BASIC (1)"),
                                  QStringLiteral("COUPLE MANIAC (1)"),
                                  QStringLiteral("DOUBLE ANOTHER (1)")};
  auto control = [](const Shell& shell, const char* name) {
    return shell.window.View()->findChild<QWidget*>(QString::fromLatin1(name));
  };
  {
    Shell shell;
    auto* game = qobject_cast<QCheckBox*>(control(shell, "gameTimingCheck"));
    auto* twist = qobject_cast<QCheckBox*>(control(shell, "twistCheck"));
    auto* charts = qobject_cast<QListWidget*>(control(shell, "chartList"));
    QVERIFY(game != nullptr && twist != nullptr && charts != nullptr);
    QCOMPARE(game->text(), QStringLiteral("ゲームと同じタイミング"));
    QVERIFY(!game->toolTip().isEmpty());
    QVERIFY(!game->isChecked());
    QVERIFY(shell.window.OpenDocument(path));
    QCOMPARE(shell.ChartNames(), classicCharts);

    charts->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
    twist->setChecked(false);
    game->click();
    QCOMPARE(shell.document.Timing(), ChartTiming::kGame);
    QCOMPARE(shell.ChartNames(), gameCharts);
    QCOMPARE(charts->selectedItems().size(), 1);
    QCOMPARE(charts->selectedItems().first()->text(), QStringLiteral("DOUBLE ANOTHER (1)"));
    QVERIFY(!twist->isChecked());

    // Generate dances in game time, as the command line does.
    const QString fromApp = folder.Path(QStringLiteral("app.vmd"));
    shell.dialogs.saveAnswers = {fromApp};
    qobject_cast<QPushButton*>(control(shell, "generateButton"))->click();
    QVERIFY(shell.boxes.criticals.isEmpty());
    const QString fromCli = folder.Path(QStringLiteral("cli.vmd"));
    QProcess cli;
    cli.start(QStringLiteral(PAVANEFLOW_CLI),
              {QStringLiteral("convert"), path, QStringLiteral("--timing"), QStringLiteral("game"),
               QStringLiteral("--chart"), QStringLiteral("3"), QStringLiteral("--no-twist"),
               QStringLiteral("-o"), fromCli});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QFile app(fromApp);
    QFile expected(fromCli);
    QVERIFY(app.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
    QCOMPARE(app.readAll(), expected.readAll());
  }

  // The choice outlives the run; a file opened then is read in game timing.
  Shell restarted;
  auto* game = qobject_cast<QCheckBox*>(control(restarted, "gameTimingCheck"));
  QVERIFY(game->isChecked());
  QVERIFY(restarted.window.OpenDocument(path));
  QCOMPARE(restarted.ChartNames(), gameCharts);
  // Back to classic: the chosen chart is gone, so the first one is chosen.
  auto* charts = qobject_cast<QListWidget*>(control(restarted, "chartList"));
  charts->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
  game->click();
  QCOMPARE(restarted.ChartNames(), classicCharts);
  QCOMPARE(charts->selectedItems().first()->text(), QStringLiteral("SINGLE BASIC (1)"));
  QVERIFY(!Shell().window.View()->GameTimingChosen());
}

void MainWindowTest::AMotionIsRefusedAndTheOpenDocumentStays() {
  testing::TestFolder folder;
  Shell shell;
  const QString good = folder.Write(QStringLiteral("good.dwi"), testing::kThreeModes);
  QVERIFY(shell.window.OpenDocument(good));
  for (const QByteArray& signature : {QByteArray("Vocaloid Motion Data 0002\0\0\0\0\0", 30),
                                      QByteArray("Vocaloid Motion Data file")}) {
    const QString motion =
        folder.Write(QStringLiteral("dance.vmd"), signature + QByteArray(100, '\0'));
    shell.boxes.criticals.clear();
    QVERIFY(!shell.window.OpenDocument(motion));
    QCOMPARE(shell.boxes.criticals,
             QStringList({QDir::toNativeSeparators(motion) +
                          QStringLiteral(" は VMD モーションで、譜面ではありません。")}));
    QCOMPARE(shell.window.windowTitle(), QStringLiteral("good.dwi - Pavaneflow"));
    QCOMPARE(shell.ChartNames().size(), 3);
    QCOMPARE(shell.document.scores.size(), 3u);
    QCOMPARE(shell.window.RecentFiles().Files(), QStringList({good}));
  }
}

void MainWindowTest::SkippedChartsAreNamedInTheStatusBarUntilTheNextOpen() {
  testing::TestFolder folder;
  Shell shell;
  auto* skipped = shell.window.statusBar()->findChild<QLabel*>(QStringLiteral("skippedCharts"));
  QVERIFY(skipped != nullptr);
  QVERIFY(shell.window.OpenDocument(folder.Write(
      QStringLiteral("solo.dwi"),
      "#BPM:120;\n#SINGLE:BASIC:1:2;\n#SOLO:BASIC:1:2;\n#SOLO:MANIAC:5:2;\n#SOLO:X:1:2;\n")));
  QCOMPARE(skipped->text(), QStringLiteral("読み込まなかった譜面: SOLO ×3"));
  QVERIFY(
      shell.window.OpenDocument(folder.Write(QStringLiteral("plain.dwi"), testing::kThreeModes)));
  QCOMPARE(skipped->text(), QString());
}

void MainWindowTest::OpeningAnotherFileRewindsThePreview() {
  testing::TestFolder folder;
  Shell shell;
  QVERIFY(shell.window.OpenDocument(folder.Write(QStringLiteral("a.dwi"), testing::kThreeModes)));
  QCoreApplication::processEvents();
  shell.window.Preview()->Seek(2.0);
  QVERIFY(shell.window.Preview()->Seconds() > 1.0);
  QVERIFY(shell.window.OpenDocument(folder.Write(QStringLiteral("b.dwi"), testing::kThreeModes)));
  QCoreApplication::processEvents();
  QCOMPARE(shell.window.Preview()->Seconds(), 0.0);
  QVERIFY(!shell.window.Preview()->IsPlaying());
}

void MainWindowTest::TheReasonOfAFailedOpenIsInTheUsersLanguage() {
  testing::TestFolder folder;
  const QString missing = folder.Path(QStringLiteral("missing.dwi"));
  // As a Japanese user's session sets them: messages and characters.
  const std::string savedMessages = std::setlocale(LC_MESSAGES, nullptr);
  const std::string savedCharacters = std::setlocale(LC_CTYPE, nullptr);
  if (std::setlocale(LC_MESSAGES, "ja_JP.UTF-8") == nullptr ||
      std::setlocale(LC_CTYPE, "ja_JP.UTF-8") == nullptr) {
    std::setlocale(LC_MESSAGES, savedMessages.c_str());
    QSKIP("no ja_JP.UTF-8 locale");
  }
  Shell shell;
  const bool opened = shell.window.OpenDocument(missing);
  std::setlocale(LC_MESSAGES, savedMessages.c_str());
  std::setlocale(LC_CTYPE, savedCharacters.c_str());
  QVERIFY(!opened);
  QCOMPARE(shell.boxes.criticals.size(), 1);
  QVERIFY2(shell.boxes.criticals.first().contains(
               QStringLiteral("そのようなファイルやディレクトリはありません")),
           qPrintable(shell.boxes.criticals.first()));
  QVERIFY(!shell.boxes.criticals.first().contains(QStringLiteral("No such file")));
}

void MainWindowTest::TheHintButtonTurnsGameTimingOnAndReadsAgain() {
  testing::TestFolder folder;
  Shell shell;
  const QString path = folder.Write(QStringLiteral("hint.dwi"),
                                    "#BPM:120;\n#CHANGEBPM:4=60;\n#SINGLE:BASIC:1:2{8};\n");
  QVERIFY(shell.window.OpenDocument(path));
  QCOMPARE(shell.document.Timing(), ChartTiming::kClassic);
  shell.window.ReadInGameTiming();
  QCOMPARE(shell.document.Timing(), ChartTiming::kGame);
  QVERIFY(shell.window.View()->GameTimingChosen());
  QCOMPARE(shell.document.tempos.size(), 1u);
  QVERIFY(shell.document.LastErrors().empty());
  QCOMPARE(shell.window.windowTitle(), QStringLiteral("hint.dwi - Pavaneflow"));
}

void MainWindowTest::FilesWithNothingToDanceAreToldAndTheStaleStatusGoes() {
  testing::TestFolder folder;
  QByteArray noise(4096, '\0');
  for (int i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7919 % 251);
  struct Case {
    QString name;
    QByteArray bytes;
    QString message;
  };
  const QString noChart =
      QStringLiteral("%1 に譜面が見つかりません (DWI、.sm、.ssc ファイルですか?)");
  const QString noTempo = QStringLiteral(
      "%1: 使えるテンポがありません (#BPM がないか、正の数ではありません)。ダンスを作れません");
  const Case cases[] = {
      {QStringLiteral("empty.dwi"), QByteArray(), noChart},
      {QStringLiteral("notes.txt"), "shopping: eggs, milk\n", noChart},
      {QStringLiteral("noise.dwi"), noise, noChart},
      {QStringLiteral("noise.ssc"), noise, noChart},
      {QStringLiteral("tempo.dwi"), "#BPM:abc;\n#SINGLE:BASIC:1:2468;\n", noTempo},
      {QStringLiteral("none.dwi"), "#SINGLE:BASIC:1:2468;\n", noTempo},
  };
  Shell shell;
  for (const Case& c : cases) {
    QVERIFY(
        shell.window.OpenDocument(folder.Write(QStringLiteral("good.dwi"), testing::kThreeModes)));
    shell.window.statusBar()->showMessage(QStringLiteral("good.dwi に書き込みました"));
    shell.boxes.criticals.clear();
    const QString path = folder.Write(c.name, c.bytes);
    QVERIFY(!shell.window.OpenDocument(path));
    const QString message = c.message.arg(QDir::toNativeSeparators(path));
    QCOMPARE(shell.boxes.criticals,
             QStringList({QStringLiteral("ファイルを開けませんでした。\n") + message}));
    QCOMPARE(shell.window.LastOpenError(), message);
    QCOMPARE(shell.window.statusBar()->currentMessage(), QString());
    QCOMPARE(shell.window.windowTitle(), QStringLiteral("無題 - Pavaneflow"));
    QVERIFY(shell.ChartNames().isEmpty());
    QVERIFY(!shell.window.RecentFiles().Files().contains(path));
  }
}

void MainWindowTest::AFolderOpensItsFirstSongFromTheMenuOrADrop() {
  testing::TestFolder folder;
  // Loose songs, as packs of DWI files come; the two files of "beta" are one song.
  folder.Write(QStringLiteral("loose/alpha.dwi"), testing::kThreeModes);
  folder.Write(QStringLiteral("loose/beta.dwi"), testing::kThreeModes);
  folder.Write(QStringLiteral("loose/Beta.sm"),
               "#BPMS:0=120;\n#NOTES:dance-single::Hard:1::\n1000\n;\n");
  folder.Write(QStringLiteral("empty/readme.txt"), "no songs");
  Shell shell;
  shell.dialogs.folderAnswers = {folder.Path(QStringLiteral("loose"))};
  shell.FileMenuAction(QStringLiteral("フォルダーを開く(&D)..."))->trigger();
  QCOMPARE(shell.window.windowTitle(), QStringLiteral("alpha.dwi - Pavaneflow"));
  auto* folderLabel = shell.window.statusBar()->findChild<QLabel*>(QStringLiteral("openFolder"));
  QVERIFY(folderLabel != nullptr);
  QCOMPARE(folderLabel->text(), QStringLiteral("フォルダー loose (2 曲)"));

  // A dropped song folder opens its song, the .sm before the .dwi of one stem.
  QDir().mkpath(folder.Path(QStringLiteral("song")));
  QFile::copy(folder.Path(QStringLiteral("loose/Beta.sm")),
              folder.Path(QStringLiteral("song/beta.sm")));
  QFile::copy(folder.Path(QStringLiteral("loose/beta.dwi")),
              folder.Path(QStringLiteral("song/beta.dwi")));
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(folder.Path(QStringLiteral("song")))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&shell.window, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&shell.window, &drop);
  QTRY_COMPARE(shell.window.windowTitle(), QStringLiteral("beta.sm - Pavaneflow"));
  QCOMPARE(shell.ChartNames(), QStringList({QStringLiteral("SINGLE HARD (1)")}));

  // The timing box does not apply to a simfile, and says so.
  auto* timing = shell.window.View()->findChild<QCheckBox*>(QStringLiteral("gameTimingCheck"));
  QVERIFY(!timing->isEnabled());
  QVERIFY2(timing->toolTip().contains(QStringLiteral(".sm と .ssc のファイルはいつも")),
           qPrintable(timing->toolTip()));
  QVERIFY(shell.window.OpenDocument(folder.Path(QStringLiteral("loose/alpha.dwi"))));
  QCOMPARE(folderLabel->text(), QString());
  QVERIFY(timing->isEnabled());
  QVERIFY(timing->toolTip().contains(QStringLiteral("#CHANGEBPM")));

  QVERIFY(!shell.window.OpenFolder(folder.Path(QStringLiteral("empty"))));
  QCOMPARE(shell.boxes.criticals.size(), 1);
  QVERIFY(shell.boxes.criticals.first().contains(
      QStringLiteral("とその下に .ssc、.sm、.dwi ファイルがありません")));
}

void MainWindowTest::GenerateAllWritesEveryChartOfTheSongOrOfTheFolder() {
  testing::TestFolder folder;
  const QString song = folder.Write(QStringLiteral("pack/three.dwi"), testing::kThreeModes);
  folder.Write(QStringLiteral("pack/one.dwi"), "#BPM:120;\n#SINGLE:BASIC:1:2468;\n");
  folder.Write(QStringLiteral("pack/broken.dwi"), "#BPM:0;\n#SINGLE:BASIC:1:2468;\n");
  Shell shell;
  auto* button = shell.window.View()->findChild<QPushButton*>(QStringLiteral("generateAllButton"));
  QVERIFY(button != nullptr);
  QCOMPARE(button->text(), QStringLiteral("すべての譜面を生成..."));
  shell.window.NewDocument();
  QVERIFY(!button->isEnabled());

  // The open song: every chart and both players of the COUPLE chart, into the chosen folder.
  QVERIFY(shell.window.OpenDocument(song));
  QVERIFY(button->isEnabled());
  shell.dialogs.folderAnswers = {folder.Path(QStringLiteral("one song"))};
  QDir().mkpath(folder.Path(QStringLiteral("one song")));
  button->click();
  QCOMPARE(shell.dialogs.folderInitialPaths.last(), folder.Path(QStringLiteral("pack")));
  QCOMPARE(shell.boxes.informations,
           QStringList({QStringLiteral("モーションを 4 個書き出しました。")}));
  QCOMPARE(QDir(folder.Path(QStringLiteral("one song"))).entryList(QDir::Files),
           QStringList({QStringLiteral("three_COUPLE_MANIAC_1P.vmd"),
                        QStringLiteral("three_COUPLE_MANIAC_2P.vmd"),
                        QStringLiteral("three_DOUBLE_ANOTHER.vmd"),
                        QStringLiteral("three_SINGLE_BASIC.vmd")}));
  // The same bytes as the command line's.
  QProcess cli;
  cli.start(QStringLiteral(PAVANEFLOW_CLI),
            {QStringLiteral("convert"), QStringLiteral("--all"), song, QStringLiteral("-o"),
             folder.Path(QStringLiteral("cli"))});
  QVERIFY(cli.waitForFinished(30000));
  QFile app(folder.Path(QStringLiteral("one song/three_COUPLE_MANIAC_2P.vmd")));
  QFile expected(folder.Path(QStringLiteral("cli/three_COUPLE_MANIAC_2P.vmd")));
  QVERIFY(app.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
  QCOMPARE(app.readAll(), expected.readAll());

  // The open folder: every song into its own folder, the one that cannot be danced named. The
  // first song that can be danced is shown.
  QVERIFY(shell.window.OpenFolder(folder.Path(QStringLiteral("pack"))));
  QCOMPARE(shell.window.windowTitle(), QStringLiteral("one.dwi - Pavaneflow"));
  shell.dialogs.folderAnswers = {folder.Path(QStringLiteral("all"))};
  button->click();
  QCOMPARE(shell.boxes.criticals,
           QStringList(
               {QStringLiteral("モーションを 5 個書き出しました。\n使えるテンポのない曲 1 曲\n") +
                QDir::toNativeSeparators(folder.Path(QStringLiteral("pack/broken.dwi"))) +
                QStringLiteral(": 使えるテンポがありません")}));
  QCOMPARE(QDir(folder.Path(QStringLiteral("all/one"))).entryList(QDir::Files),
           QStringList({QStringLiteral("one_SINGLE_BASIC.vmd")}));
  QCOMPARE(QDir(folder.Path(QStringLiteral("all/three"))).entryList(QDir::Files).size(), 4);
  QVERIFY(!QFileInfo::exists(folder.Path(QStringLiteral("all/broken"))));

  // Cancelling the folder dialog writes nothing.
  shell.boxes.informations.clear();
  shell.boxes.criticals.clear();
  button->click();
  QVERIFY(shell.boxes.informations.isEmpty() && shell.boxes.criticals.isEmpty());
}

}  // namespace pavaneflow

int RunMainWindowTest(int argc, char* argv[]) {
  pavaneflow::MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
