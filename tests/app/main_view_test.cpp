#include "app/main_view.h"
#include "base/memory_file.h"

#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>

#include "app_tests.h"
#include "chart/dwi_document.h"
#include "fakes.h"
#include "motion/classic/run.h"
#include "support/model_bytes.h"
#include "test_files.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {
// The player radio clicked before the case runs.
enum class Radio { kNone, k1P, k2P };
}  // namespace pavaneflow
Q_DECLARE_METATYPE(pavaneflow::Radio)

namespace pavaneflow {

namespace {

// A view over its own document, with the controls at hand.
struct Form {
  Form() : view(document, dialogs, boxes) {
    title = view.findChild<QLineEdit*>(QStringLiteral("titleEdit"));
    artist = view.findChild<QLineEdit*>(QStringLiteral("artistEdit"));
    bpm = view.findChild<QLineEdit*>(QStringLiteral("bpmEdit"));
    charts = view.findChild<QListWidget*>(QStringLiteral("chartList"));
    player1 = view.findChild<QRadioButton*>(QStringLiteral("player1Radio"));
    player2 = view.findChild<QRadioButton*>(QStringLiteral("player2Radio"));
    generate = view.findChild<QPushButton*>(QStringLiteral("generateButton"));
    twist = view.findChild<QCheckBox*>(QStringLiteral("twistCheck"));
  }

  bool Open(const QString& path) {
    const bool opened = document.OnOpenDocument(QFile::encodeName(path).toStdString());
    view.OnInitialUpdate();
    return opened;
  }

  // Selects a chart row as a click does, with the selection-changed notification.
  void Select(int row) { charts->setCurrentRow(row, QItemSelectionModel::ClearAndSelect); }

  void Click(Radio radio) {
    if (radio == Radio::k1P) player1->click();
    if (radio == Radio::k2P) player2->click();
  }

  DWIDocument document;
  testing::FakeFileDialogs dialogs;
  testing::FakeMessageBoxes boxes;
  MainView view;
  QLineEdit* title;
  QLineEdit* artist;
  QLineEdit* bpm;
  QListWidget* charts;
  QRadioButton* player1;
  QRadioButton* player2;
  QPushButton* generate;
  QCheckBox* twist;
};

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ExpectedVmd(const SongDocument& song, int scoreIndex, std::int32_t player, bool twist) {
  GenerationRequest request;
  request.song = &song;
  request.score = song.scores.at(static_cast<std::size_t>(scoreIndex)).get();
  request.player = player;
  request.twist = twist;
  MotionDocument motion;
  Synthesize(request, motion);
  MemoryFile file;
  WriteVmd(motion, file);
  const std::vector<std::uint8_t>& bytes = file.Bytes();
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
}

}  // namespace

class MainViewTest : public QObject {
  Q_OBJECT

 private slots:
  void EmptyDocumentShowsNothingToGenerate();
  void ToolTipsWrapAndFixedFieldsLookReadOnly();
  void EnablingFollowsModeAndRememberedPlayer_data();
  void EnablingFollowsModeAndRememberedPlayer();
  void OpeningRefillsListAndChecksTwistButKeepsRadios();
  void BpmHasThreeDecimalsAndAPointInAnyLocale();
  void GenerateHandsPlayerAndTwistToTheSynthesiser_data();
  void GenerateHandsPlayerAndTwistToTheSynthesiser();
  void GeneratedFileIsTheCommandLineConversion_data();
  void GeneratedFileIsTheCommandLineConversion();
  void ASimfileDancesEachChartInItsOwnTiming();
  void SaveNameGetsTheExtensionAndOverwritingIsConfirmed();
  void CancellingWritesNothing();
  void WriteFailureIsShownWithFileAndReason();
  void SaveDialogOffersTheChartsNameAndTheLastFolder();
  void SaveDialogOffersTheFormatsAndRemembersTheChoice();
  void PlannedFeetAreRememberedAndGenerateThePlannedDance();
  void NaturalMotionIsRememberedAndGeneratesTheNaturalDance();
  void AModelIsChosenShownRememberedAndCleared();
  void AModelThatCannotBeReadIsToldWithFileAndCause();
};

void MainViewTest::EmptyDocumentShowsNothingToGenerate() {
  Form form;
  form.twist->setChecked(false);
  form.view.OnInitialUpdate();
  QCOMPARE(form.title->text(), QString());
  QCOMPARE(form.artist->text(), QString());
  QCOMPARE(form.bpm->text(), QStringLiteral("0.000"));
  QCOMPARE(form.charts->count(), 0);
  QVERIFY(!form.player1->isEnabled());
  QVERIFY(!form.player2->isEnabled());
  QVERIFY(!form.generate->isEnabled());
  QVERIFY(form.twist->isChecked());
  QVERIFY(!form.player1->isChecked());
  QVERIFY(!form.player2->isChecked());

  // Tab order: the three fields, the list, Generate, twist; the radios are no tab stops.
  QStringList tabOrder;
  for (QWidget* w = form.title; tabOrder.size() < 6; w = w->nextInFocusChain()) {
    if (w->focusPolicy() & Qt::TabFocus) tabOrder += w->objectName();
  }
  QCOMPARE(tabOrder, QStringList({QStringLiteral("titleEdit"), QStringLiteral("artistEdit"),
                                  QStringLiteral("bpmEdit"), QStringLiteral("chartList"),
                                  QStringLiteral("generateButton"), QStringLiteral("twistCheck")}));
}

void MainViewTest::ToolTipsWrapAndFixedFieldsLookReadOnly() {
  Form form;
  form.view.resize(form.view.sizeHint());
  form.view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form.view));
  // Rich text is what a tooltip wraps; every tooltip of the form is, and none is lost.
  int tips = 0;
  for (QWidget* widget : form.view.findChildren<QWidget*>()) {
    if (widget->toolTip().isEmpty()) continue;
    ++tips;
    QVERIFY2(Qt::mightBeRichText(widget->toolTip()), qPrintable(widget->objectName()));
  }
  QVERIFY(tips >= 4);
  auto* natural = form.view.findChild<QWidget*>(QStringLiteral("naturalMotionCheck"));
  QToolTip::showText(natural->mapToGlobal(QPoint(4, 4)), natural->toolTip(), natural);
  QTRY_VERIFY(QToolTip::isVisible());
  QLabel* tip = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->inherits("QTipLabel") && widget->isVisible()) tip = qobject_cast<QLabel*>(widget);
  }
  QVERIFY(tip != nullptr);
  QVERIFY(tip->wordWrap());
  // Several lines, none wider than a screen's half.
  QVERIFY2(tip->width() < 700, qPrintable(QString::number(tip->width())));
  QVERIFY(tip->height() > 2 * tip->fontMetrics().height());
  QToolTip::hideText();

  for (QLineEdit* field : {form.title, form.artist, form.bpm}) {
    QVERIFY(field->isReadOnly());
    QCOMPARE(field->palette().color(QPalette::Base), field->palette().color(QPalette::Window));
  }
}

void MainViewTest::EnablingFollowsModeAndRememberedPlayer_data() {
  QTest::addColumn<Radio>("chosenOnCouple");
  QTest::addColumn<int>("row");
  QTest::addColumn<bool>("radiosEnabled");
  QTest::addColumn<bool>("generateEnabled");
  // Rows 0, 1, 2 of kThreeModes are SINGLE, DOUBLE and COUPLE.
  QTest::newRow("single") << Radio::kNone << 0 << false << true;
  QTest::newRow("double") << Radio::kNone << 1 << false << true;
  QTest::newRow("couple, no player yet") << Radio::kNone << 2 << true << false;
  QTest::newRow("couple, 1P remembered") << Radio::k1P << 2 << true << true;
  QTest::newRow("couple, 2P remembered") << Radio::k2P << 2 << true << true;
  QTest::newRow("single, 2P chosen") << Radio::k2P << 0 << false << true;
}

void MainViewTest::EnablingFollowsModeAndRememberedPlayer() {
  QFETCH(Radio, chosenOnCouple);
  QFETCH(int, row);
  QFETCH(bool, radiosEnabled);
  QFETCH(bool, generateEnabled);

  testing::TestFolder folder;
  Form form;
  QVERIFY(form.Open(folder.Write(QStringLiteral("modes.dwi"), testing::kThreeModes)));
  QCOMPARE(form.charts->currentRow(), 0);
  form.Select(2);
  form.Click(chosenOnCouple);
  form.Select(0);
  form.Select(row);

  QCOMPARE(form.charts->currentRow(), row);
  QCOMPARE(form.player1->isEnabled(), radiosEnabled);
  QCOMPARE(form.player2->isEnabled(), radiosEnabled);
  QCOMPARE(form.generate->isEnabled(), generateEnabled);
  // On a chart without players neither radio shows a choice; the choice comes back with the
  // next two-player chart.
  QCOMPARE(form.player1->isChecked(), radiosEnabled && chosenOnCouple == Radio::k1P);
  QCOMPARE(form.player2->isChecked(), radiosEnabled && chosenOnCouple == Radio::k2P);
  form.Select(2);
  QCOMPARE(form.player1->isChecked(), chosenOnCouple == Radio::k1P);
  QCOMPARE(form.player2->isChecked(), chosenOnCouple == Radio::k2P);
  QCOMPARE(form.generate->isEnabled(), chosenOnCouple != Radio::kNone);
}

void MainViewTest::OpeningRefillsListAndChecksTwistButKeepsRadios() {
  testing::TestFolder folder;
  Form form;
  QVERIFY(form.Open(folder.Write(QStringLiteral("modes.dwi"), testing::kThreeModes)));
  QCOMPARE(form.title->text(), QStringLiteral("Three Modes"));
  QCOMPARE(form.artist->text(), QStringLiteral("Tester"));
  QCOMPARE(form.charts->count(), 3);
  QCOMPARE(form.charts->item(2)->text(), QStringLiteral("COUPLE MANIAC (7)"));
  form.Select(2);
  form.Click(Radio::k2P);
  form.twist->setChecked(false);

  QVERIFY(form.Open(folder.Write(QStringLiteral("couple.dwi"),
                                 "#TITLE:Pair;#ARTIST:Two;#BPM:120;"
                                 "#COUPLE:BASIC:1:2468:8642;\n#SINGLE:HEAVY:9:2;\n")));
  QCOMPARE(form.title->text(), QStringLiteral("Pair"));
  QCOMPARE(form.artist->text(), QStringLiteral("Two"));
  QCOMPARE(form.charts->count(), 2);
  QCOMPARE(form.charts->item(0)->text(), QStringLiteral("COUPLE BASIC (1)"));
  QCOMPARE(form.charts->item(1)->text(), QStringLiteral("SINGLE HEAVY (9)"));
  QCOMPARE(form.charts->selectedItems().size(), 1);
  QCOMPARE(form.charts->currentRow(), 0);
  QVERIFY(form.twist->isChecked());
  QVERIFY(form.player2->isChecked());
  QVERIFY(form.generate->isEnabled());

  // A file that cannot be opened leaves the document empty; the form shows that.
  QVERIFY(!form.Open(folder.Path(QStringLiteral("missing.dwi"))));
  QCOMPARE(form.charts->count(), 0);
  QCOMPARE(form.title->text(), QString());
  QVERIFY(!form.generate->isEnabled());
}

void MainViewTest::BpmHasThreeDecimalsAndAPointInAnyLocale() {
  struct Case {
    QByteArray bpm;
    QString shown;
  };
  const Case cases[] = {
      {"150", QStringLiteral("150.000")},
      {"7.5", QStringLiteral("7.500")},
      {"95.5", QStringLiteral("95.500")},
      {"0", QStringLiteral("0.000")},
      {"-12.25", QStringLiteral("-12.250")},
      {"-0", QStringLiteral("-0.000")},
      {"1e30", QStringLiteral("1000000015047466219876688855040.000")},
  };
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  testing::TestFolder folder;
  Form form;
  for (const Case& c : cases) {
    QVERIFY(form.Open(folder.Write(QStringLiteral("bpm.dwi"), "#BPM:" + c.bpm + ";")));
    QCOMPARE(form.bpm->text(), c.shown);
  }
  QLocale::setDefault(previous);
}

void MainViewTest::GenerateHandsPlayerAndTwistToTheSynthesiser_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<Radio>("radio");
  QTest::addColumn<bool>("twist");
  QTest::addColumn<int>("player");
  QTest::newRow("single with 2P checked dances player 0") << 0 << Radio::k2P << true << 0;
  QTest::newRow("double, twist off") << 1 << Radio::kNone << false << 0;
  QTest::newRow("couple 1P") << 2 << Radio::k1P << true << 0;
  QTest::newRow("couple 2P") << 2 << Radio::k2P << true << 1;
  QTest::newRow("couple 2P, twist off") << 2 << Radio::k2P << false << 1;
}

void MainViewTest::GenerateHandsPlayerAndTwistToTheSynthesiser() {
  QFETCH(int, row);
  QFETCH(Radio, radio);
  QFETCH(bool, twist);
  QFETCH(int, player);

  testing::TestFolder folder;
  Form form;
  QVERIFY(form.Open(folder.Write(QStringLiteral("modes.dwi"), testing::kThreeModes)));
  form.Select(2);
  form.Click(radio);
  form.Select(row);
  form.twist->setChecked(twist);

  const QString output = folder.Path(QStringLiteral("out.vmd"));
  form.dialogs.saveAnswers = {output};
  QVERIFY(form.generate->isEnabled());
  form.generate->click();

  QCOMPARE(form.dialogs.saveFilters.size(), 1);
  QVERIFY(form.boxes.criticals.isEmpty());
  const QByteArray written = ReadAll(output);
  QVERIFY(!written.isEmpty());
  QCOMPARE(written, ExpectedVmd(form.document, row, player, twist));
  // The choice matters: the other player or twist setting gives another file.
  if (form.document.scores[static_cast<std::size_t>(row)]->mode == kCouple) {
    QVERIFY(written != ExpectedVmd(form.document, row, 1 - player, twist));
  }
  QVERIFY(written != ExpectedVmd(form.document, row, player, !twist));
}

void MainViewTest::GeneratedFileIsTheCommandLineConversion_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<Radio>("radio");
  QTest::addColumn<bool>("twist");
  // Rows of the example song: SINGLE BASIC, SINGLE ANOTHER, DOUBLE BASIC, COUPLE BASIC.
  QTest::newRow("single") << 0 << Radio::kNone << true;
  QTest::newRow("single with 2P checked") << 0 << Radio::k2P << true;
  QTest::newRow("single, twist off") << 1 << Radio::kNone << false;
  QTest::newRow("double") << 2 << Radio::kNone << true;
  QTest::newRow("couple 1P") << 3 << Radio::k1P << true;
  QTest::newRow("couple 2P, twist off") << 3 << Radio::k2P << false;
}

// The window and the command line must write the same motion for the same choices.
void MainViewTest::GeneratedFileIsTheCommandLineConversion() {
  QFETCH(int, row);
  QFETCH(Radio, radio);
  QFETCH(bool, twist);

  testing::TestFolder folder;
  const QString song = QStringLiteral(PAVANEFLOW_SOURCE_DIR "/examples/demo.dwi");
  Form form;
  QVERIFY(form.Open(song));
  QCOMPARE(form.charts->count(), 4);
  form.Select(3);
  form.Click(radio);
  form.Select(row);
  form.twist->setChecked(twist);
  const QString fromApp = folder.Path(QStringLiteral("app.vmd"));
  form.dialogs.saveAnswers = {fromApp};
  form.generate->click();
  QVERIFY(form.boxes.criticals.isEmpty());

  const QString fromCli = folder.Path(QStringLiteral("cli.vmd"));
  QStringList arguments = {
      QStringLiteral("convert"),  song,
      QStringLiteral("--chart"),  QString::number(row + 1),
      QStringLiteral("--player"), radio == Radio::k2P ? QStringLiteral("2") : QStringLiteral("1"),
      QStringLiteral("-o"),       fromCli};
  if (!twist) arguments += QStringLiteral("--no-twist");
  QProcess cli;
  cli.start(QStringLiteral(PAVANEFLOW_CLI), arguments);
  QVERIFY(cli.waitForFinished(30000));
  QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0,
           cli.readAllStandardError().constData());

  const QByteArray expected = ReadAll(fromCli);
  QVERIFY(!expected.isEmpty());
  QCOMPARE(ReadAll(fromApp), expected);
}

// A .ssc opens like a DWI file; its chart with a tempo and offset of its own dances in them, as
// the command line dances it.
void MainViewTest::ASimfileDancesEachChartInItsOwnTiming() {
  testing::TestFolder folder;
  const QString song = QStringLiteral(PAVANEFLOW_SOURCE_DIR "/examples/demo.ssc");
  Form form;
  QVERIFY(form.Open(song));
  QCOMPARE(form.title->text(), QStringLiteral("Morning Pavane"));
  QCOMPARE(form.bpm->text(), QStringLiteral("128.000"));
  QCOMPARE(form.charts->count(), 3);
  QCOMPARE(form.charts->item(0)->text(), QStringLiteral("SINGLE EASY (3)"));
  QCOMPARE(form.charts->item(1)->text(), QStringLiteral("SINGLE CHALLENGE (8)"));
  QCOMPARE(form.charts->item(2)->text(), QStringLiteral("DOUBLE MEDIUM (5)"));

  for (int row : {0, 1}) {
    form.Select(row);
    const QString fromApp = folder.Path(QStringLiteral("app%1.vmd").arg(row));
    form.dialogs.saveAnswers = {fromApp};
    form.generate->click();
    QVERIFY(form.boxes.criticals.isEmpty());
    const QString fromCli = folder.Path(QStringLiteral("cli%1.vmd").arg(row));
    QProcess cli;
    cli.start(QStringLiteral(PAVANEFLOW_CLI),
              {QStringLiteral("convert"), song, QStringLiteral("--chart"), QString::number(row + 1),
               QStringLiteral("-o"), fromCli});
    QVERIFY(cli.waitForFinished(30000));
    QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0,
             cli.readAllStandardError().constData());
    const QByteArray expected = ReadAll(fromCli);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(ReadAll(fromApp), expected);
  }
  // The two charts have the same kind of steps but not the same timing.
  QVERIFY(ReadAll(folder.Path(QStringLiteral("app0.vmd"))) !=
          ReadAll(folder.Path(QStringLiteral("app1.vmd"))));
}

void MainViewTest::SaveNameGetsTheExtensionAndOverwritingIsConfirmed() {
  testing::TestFolder folder;
  Form form;
  QVERIFY(form.Open(folder.Write(QStringLiteral("modes.dwi"), testing::kThreeModes)));

  // A dot in a folder name does not count as an extension.
  form.dialogs.saveAnswers = {folder.Path(QStringLiteral("my.motions/dance"))};
  QDir().mkpath(folder.Path(QStringLiteral("my.motions")));
  form.view.OnGenerate();
  QVERIFY(QFile::exists(folder.Path(QStringLiteral("my.motions/dance.vmd"))));
  QVERIFY(!QFile::exists(folder.Path(QStringLiteral("my.motions/dance"))));
  QVERIFY(form.boxes.questions.isEmpty());

  // The existing name with the extension added is confirmed; "no" asks for another name.
  const QString existing = folder.Write(QStringLiteral("taken.vmd"), "keep");
  form.boxes.answer = false;
  form.dialogs.saveAnswers = {folder.Path(QStringLiteral("taken")),
                              folder.Path(QStringLiteral("fresh.vmd"))};
  form.view.OnGenerate();
  QCOMPARE(form.boxes.questions.size(), 1);
  QVERIFY(form.boxes.questions.first().contains(existing));
  QCOMPARE(ReadAll(existing), QByteArray("keep"));
  QVERIFY(QFile::exists(folder.Path(QStringLiteral("fresh.vmd"))));

  form.boxes.answer = true;
  form.dialogs.saveAnswers = {existing};
  form.view.OnGenerate();
  QCOMPARE(form.boxes.questions.size(), 2);
  QCOMPARE(ReadAll(existing), ReadAll(folder.Path(QStringLiteral("fresh.vmd"))));
}

void MainViewTest::CancellingWritesNothing() {
  testing::TestFolder folder;
  Form form;
  QVERIFY(form.Open(folder.Write(QStringLiteral("modes.dwi"), testing::kThreeModes)));
  const QString existing = folder.Write(QStringLiteral("taken.vmd"), "keep");
  form.boxes.answer = false;
  form.dialogs.saveAnswers = {existing};  // then the queue is empty: cancel
  form.view.OnGenerate();
  form.view.OnGenerate();
  QCOMPARE(form.dialogs.saveFilters.size(), 3);
  QCOMPARE(folder.Entries(),
           QStringList({QStringLiteral("modes.dwi"), QStringLiteral("taken.vmd")}));
  QCOMPARE(ReadAll(existing), QByteArray("keep"));
  QVERIFY(form.boxes.criticals.isEmpty());
}

void MainViewTest::WriteFailureIsShownWithFileAndReason() {
  testing::TestFolder folder;
  Form form;
  QVERIFY(form.Open(folder.Write(QStringLiteral("modes.dwi"), testing::kThreeModes)));
  const QString target = folder.Path(QStringLiteral("no such folder/out.vmd"));
  form.dialogs.saveAnswers = {target};
  form.view.OnGenerate();
  QCOMPARE(form.boxes.criticals.size(), 1);
  QVERIFY2(form.boxes.criticals.first().contains(target), qPrintable(form.boxes.criticals.first()));
  QVERIFY2(form.boxes.criticals.first().contains(QStringLiteral("No such file or directory")),
           qPrintable(form.boxes.criticals.first()));
  QCOMPARE(form.charts->count(), 3);
}

// The dialog opens in the DWI file's folder with the name `convert --all` gives the chart, then
// in the folder of the last save; the status bar tells what was written.
void MainViewTest::SaveDialogOffersTheChartsNameAndTheLastFolder() {
  QSettings().remove(QStringLiteral("Settings/LastSaveFolder"));
  testing::TestFolder folder;
  Form form;
  const QString dwi = folder.Write(QStringLiteral("modes.dwi"), testing::kThreeModes);
  QVERIFY(form.Open(dwi));
  form.view.SetDocumentPath(dwi);
  QSignalSpy status(&form.view, &MainView::statusMessage);

  const QString elsewhere = folder.Path(QStringLiteral("out/mine.vmd"));
  QDir().mkpath(folder.Path(QStringLiteral("out")));
  form.dialogs.saveAnswers = {elsewhere, QString()};
  form.generate->click();
  QCOMPARE(form.dialogs.saveInitialPaths.value(0),
           folder.Path(QStringLiteral("modes_SINGLE_BASIC.vmd")));
  QCOMPARE(status.size(), 1);
  QVERIFY(status.first().first().toString().startsWith(
      QDir::toNativeSeparators(elsewhere) + QStringLiteral(" に書き込みました (キーフレーム ")));

  form.Select(2);
  form.Click(Radio::k2P);
  form.generate->click();
  QCOMPARE(form.dialogs.saveInitialPaths.value(1),
           folder.Path(QStringLiteral("out/modes_COUPLE_MANIAC_2P.vmd")));
  QCOMPARE(status.size(), 1);  // cancelled: nothing written, nothing told
}

// The save dialog offers VMD, VRM Animation and BVH, opens with the format chosen last, and a name
// ending in a format's extension writes that format whatever the filter.
void MainViewTest::SaveDialogOffersTheFormatsAndRemembersTheChoice() {
  QSettings().remove(QStringLiteral("Settings/ExportFormat"));
  testing::TestFolder folder;
  Form form;
  const QString dwi = folder.Write(QStringLiteral("modes.dwi"), testing::kThreeModes);
  QVERIFY(form.Open(dwi));
  form.view.SetDocumentPath(dwi);
  const auto filterOf = [&form](int call, int index) {
    return form.dialogs.saveFilters.value(call).split(QStringLiteral(";;")).value(index);
  };

  // The first dialog opens with VMD; cancelled.
  form.generate->click();
  QVERIFY(filterOf(0, 0).startsWith(QStringLiteral("VMD モーション")));
  QVERIFY(filterOf(0, 1).startsWith(QStringLiteral("VRM アニメーション")));
  QVERIFY(filterOf(0, 2).startsWith(QStringLiteral("BVH モーション")));
  QCOMPARE(form.dialogs.saveInitialFilters.value(0), filterOf(0, 0));

  // VRM Animation picked, for a name without an extension.
  form.dialogs.saveFilterAnswers = {filterOf(0, 1)};
  form.dialogs.saveAnswers = {folder.Path(QStringLiteral("dance"))};
  form.generate->click();
  QCOMPARE(ReadAll(folder.Path(QStringLiteral("dance.vrma"))).left(4), QByteArray("glTF"));

  // Remembered: the next dialog opens with VRM Animation and a .vrma name; a name ending in .bvh
  // writes BVH.
  form.dialogs.saveAnswers = {folder.Path(QStringLiteral("moves.bvh"))};
  form.generate->click();
  QCOMPARE(form.dialogs.saveInitialFilters.value(2), filterOf(2, 1));
  QVERIFY(form.dialogs.saveInitialPaths.value(2).endsWith(QStringLiteral("_SINGLE_BASIC.vrma")));
  QVERIFY(ReadAll(folder.Path(QStringLiteral("moves.bvh"))).startsWith("HIERARCHY\nROOT Hips\n"));
  QVERIFY(form.boxes.criticals.isEmpty());

  form.generate->click();  // cancelled
  QCOMPARE(form.dialogs.saveInitialFilters.value(3), filterOf(3, 2));
  QSettings().remove(QStringLiteral("Settings/ExportFormat"));
}

// "足運びを最適化" starts off, keeps its state across runs, and makes Generate write what
// `convert --feet planned` writes.
void MainViewTest::PlannedFeetAreRememberedAndGenerateThePlannedDance() {
  QSettings().clear();
  testing::TestFolder folder;
  const QString song = QStringLiteral(PAVANEFLOW_SOURCE_DIR "/examples/demo.dwi");
  {
    Form form;
    auto* feet = form.view.findChild<QCheckBox*>(QStringLiteral("plannedFeetCheck"));
    QVERIFY(feet != nullptr);
    QCOMPARE(feet->text(), QStringLiteral("足運びを最適化"));
    QVERIFY(!feet->toolTip().isEmpty());
    QVERIFY(!feet->isChecked());
    feet->click();
  }

  Form form;
  auto* feet = form.view.findChild<QCheckBox*>(QStringLiteral("plannedFeetCheck"));
  QVERIFY(feet->isChecked());
  QVERIFY(form.Open(song));
  QVERIFY(feet->isChecked());  // opening a file leaves it alone
  form.Select(0);
  const QString fromApp = folder.Path(QStringLiteral("app.vmd"));
  form.dialogs.saveAnswers = {fromApp};
  form.generate->click();
  QVERIFY(form.boxes.criticals.isEmpty());

  const QString fromCli = folder.Path(QStringLiteral("cli.vmd"));
  QProcess cli;
  cli.start(QStringLiteral(PAVANEFLOW_CLI),
            {QStringLiteral("convert"), song, QStringLiteral("--feet"), QStringLiteral("planned"),
             QStringLiteral("-o"), fromCli});
  QVERIFY(cli.waitForFinished(30000));
  QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0,
           cli.readAllStandardError().constData());
  const QByteArray written = ReadAll(fromApp);
  QCOMPARE(written, ReadAll(fromCli));
  QVERIFY(written != ExpectedVmd(form.document, 0, 0, true));

  feet->click();
  QVERIFY(!Form().view.findChild<QCheckBox*>(QStringLiteral("plannedFeetCheck"))->isChecked());
  QSettings().clear();
}

// "自然な動き" starts off, keeps its state across runs, and makes Generate write what
// `convert --motion natural` writes, with the four empty section counts at its end.
void MainViewTest::NaturalMotionIsRememberedAndGeneratesTheNaturalDance() {
  QSettings().clear();
  testing::TestFolder folder;
  const QString song = QStringLiteral(PAVANEFLOW_SOURCE_DIR "/examples/demo.dwi");
  {
    Form form;
    auto* natural = form.view.findChild<QCheckBox*>(QStringLiteral("naturalMotionCheck"));
    QVERIFY(natural != nullptr);
    QCOMPARE(natural->text(), QStringLiteral("自然な動き"));
    QVERIFY(!natural->toolTip().isEmpty());
    QVERIFY(!natural->isChecked());
    natural->click();
  }

  Form form;
  auto* natural = form.view.findChild<QCheckBox*>(QStringLiteral("naturalMotionCheck"));
  QVERIFY(natural->isChecked());
  QVERIFY(form.Open(song));
  form.Select(0);
  QVERIFY(form.view.BuildRequest().Request().motion != nullptr);
  const QString fromApp = folder.Path(QStringLiteral("app.vmd"));
  form.dialogs.saveAnswers = {fromApp};
  form.generate->click();
  QVERIFY(form.boxes.criticals.isEmpty());

  const QString fromCli = folder.Path(QStringLiteral("cli.vmd"));
  QProcess cli;
  cli.start(QStringLiteral(PAVANEFLOW_CLI),
            {QStringLiteral("convert"), song, QStringLiteral("--motion"), QStringLiteral("natural"),
             QStringLiteral("-o"), fromCli});
  QVERIFY(cli.waitForFinished(30000));
  QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0,
           cli.readAllStandardError().constData());
  const QByteArray written = ReadAll(fromApp);
  QCOMPARE(written, ReadAll(fromCli));
  QVERIFY(written.endsWith(QByteArray(16, '\0')));
  QVERIFY(written != ExpectedVmd(form.document, 0, 0, true));

  natural->click();
  QVERIFY(form.view.BuildRequest().Request().motion == nullptr);
  QVERIFY(!Form().view.findChild<QCheckBox*>(QStringLiteral("naturalMotionCheck"))->isChecked());
  QSettings().clear();
}

QByteArray ModelBytes(const std::vector<std::uint8_t>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
}

// "モデル..." reads a model, shows its name, fits Generate's natural dance to it as `convert
// --model` does, is remembered across runs, and "×" goes back to the reference body. It only
// applies to the natural motion.
void MainViewTest::AModelIsChosenShownRememberedAndCleared() {
  QSettings().clear();
  testing::TestFolder folder;
  test::PmxFile chibi;
  chibi.name = "ちび";
  chibi.bones = test::StandardBones(0.9f, 0.75f, 0.6f);
  const QString model =
      folder.Write(QStringLiteral("chibi.pmx"), ModelBytes(test::PmxBytes(chibi)));
  const QString song = QStringLiteral(PAVANEFLOW_SOURCE_DIR "/examples/demo.dwi");
  {
    Form form;
    auto* button = form.view.findChild<QPushButton*>(QStringLiteral("modelButton"));
    auto* label = form.view.findChild<QLabel*>(QStringLiteral("modelLabel"));
    auto* clear = form.view.findChild<QToolButton*>(QStringLiteral("modelClearButton"));
    QVERIFY(button != nullptr && label != nullptr && clear != nullptr);
    QCOMPARE(button->text(), QStringLiteral("モデル..."));
    QCOMPARE(label->text(), QStringLiteral("標準の体型"));
    QVERIFY(!button->isEnabled());
    form.view.findChild<QCheckBox*>(QStringLiteral("naturalMotionCheck"))->click();
    QVERIFY(button->isEnabled());
    QVERIFY(!clear->isEnabled());
    form.dialogs.openAnswers = {model};
    button->click();
    QVERIFY(form.boxes.criticals.isEmpty());
    QCOMPARE(form.dialogs.openFilters.size(), 1);
    QVERIFY(form.dialogs.openFilters.front().contains(QStringLiteral("*.PMX")));
    QCOMPARE(label->text(), QStringLiteral("ちび"));
    QVERIFY(clear->isEnabled());
  }

  Form form;
  auto* label = form.view.findChild<QLabel*>(QStringLiteral("modelLabel"));
  QCOMPARE(label->text(), QStringLiteral("ちび"));
  const DanceSetup setup = form.view.Setup();
  QVERIFY(setup.model.has_value());
  QVERIFY(qAbs(setup.body.PadScale() - 0.45) < 1e-6);
  QVERIFY(form.Open(song));
  form.Select(0);
  const QString fromApp = folder.Path(QStringLiteral("app.vmd"));
  form.dialogs.saveAnswers = {fromApp};
  form.generate->click();
  QVERIFY(form.boxes.criticals.isEmpty());
  const QString fromCli = folder.Path(QStringLiteral("cli.vmd"));
  QProcess cli;
  cli.start(QStringLiteral(PAVANEFLOW_CLI),
            {QStringLiteral("convert"), song, QStringLiteral("--motion"), QStringLiteral("natural"),
             QStringLiteral("--model"), model, QStringLiteral("-o"), fromCli});
  QVERIFY(cli.waitForFinished(30000));
  QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0,
           cli.readAllStandardError().constData());
  QCOMPARE(ReadAll(fromApp), ReadAll(fromCli));

  form.view.findChild<QToolButton*>(QStringLiteral("modelClearButton"))->click();
  QCOMPARE(label->text(), QStringLiteral("標準の体型"));
  QVERIFY(!form.view.Setup().model.has_value());
  QVERIFY(!Form().view.Setup().model.has_value());
  QSettings().clear();
}

// A file that is no model to dance is refused in a message box naming it and the cause, and the
// model chosen before stays; a remembered model that is gone says so beside the button.
void MainViewTest::AModelThatCannotBeReadIsToldWithFileAndCause() {
  QSettings().clear();
  testing::TestFolder folder;
  test::PmxFile standard;
  standard.bones = test::StandardBones();
  const QString good =
      folder.Write(QStringLiteral("good.pmx"), ModelBytes(test::PmxBytes(standard)));
  const QString bad = folder.Write(QStringLiteral("bad.pmx"), QByteArray("PMX \0\0\0\x40", 8));
  {
    Form form;
    form.view.findChild<QCheckBox*>(QStringLiteral("naturalMotionCheck"))->click();
    form.dialogs.openAnswers = {good, bad};
    form.view.ChooseModel();
    form.view.ChooseModel();
    QCOMPARE(form.boxes.criticals.size(), 1);
    const QString& text = form.boxes.criticals.front();
    QVERIFY2(text.contains(QDir::toNativeSeparators(bad)), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("途切れています")), qPrintable(text));
    QCOMPARE(form.view.findChild<QLabel*>(QStringLiteral("modelLabel"))->text(),
             QStringLiteral("踊りテスト人形"));
  }
  QVERIFY(QFile::remove(good));
  Form form;
  auto* label = form.view.findChild<QLabel*>(QStringLiteral("modelLabel"));
  QCOMPARE(label->text(), QStringLiteral("標準の体型 (モデルを読めません)"));
  QVERIFY2(label->toolTip().contains(QDir::toNativeSeparators(good)), qPrintable(label->toolTip()));
  QVERIFY(!form.view.Setup().model.has_value());
  QSettings().clear();
}

}  // namespace pavaneflow

int RunMainViewTest(int argc, char* argv[]) {
  pavaneflow::MainViewTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_view_test.moc"
