// What the user is told on standard error, in English and, under a Japanese locale, in Japanese:
// every mistaken call with its exact message and exit status, the cut of long problem lists, the
// game-timing hint and the skipped charts.
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kJapanese = "ja_JP.UTF-8";

// A SINGLE, a DOUBLE and a COUPLE chart.
constexpr const char* kSong =
    "#TITLE:Song;\n#BPM:120;\n"
    "#SINGLE:BASIC:3:2468;\n#DOUBLE:ANOTHER:5:2468:8642;\n#COUPLE:MANIAC:7:2468:8642;\n";

class Messages : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakeTestFolder("pavaneflow-messages");
    WriteFileBytes(folder_ / "song.dwi", kSong);
    WriteFileBytes(folder_ / "dance.vmd",
                   std::string("Vocaloid Motion Data 0002\0\0\0\0\0", 30) + std::string(30, '\0'));
    WriteFileBytes(folder_ / "notes.txt", "shopping: eggs, milk\n");
    // A motion under a chart's name: only a file named .vmd is read as a motion.
    fs::copy_file(folder_ / "dance.vmd", folder_ / "motion.dwi");
    fs::create_directories(folder_ / "outdir");
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

struct MistakenCall {
  std::vector<std::string> arguments;
  int status;
  const char* english;  // the whole of standard error
  const char* japanese;
};

const MistakenCall kMistakenCalls[] = {
    {{},
     2,
     "pavaneflow-cli: a command is needed (commands: info, convert, sheet, feet, body); "
     "pavaneflow-cli --help tells more\n",
     "pavaneflow-cli: コマンドを指定してください (コマンド: info, convert, sheet, feet, body)。"
     "詳しくは pavaneflow-cli --help\n"},
    {{"foo", "song.dwi"},
     2,
     "pavaneflow-cli: unknown command 'foo' (commands: info, convert, sheet, feet, body)\n",
     "pavaneflow-cli: 'foo' というコマンドはありません (コマンド: info, convert, sheet, feet, "
     "body)\n"},
    {{"info"},
     2,
     "pavaneflow-cli: info needs a file: pavaneflow-cli info FILE\n",
     "pavaneflow-cli: info にはファイルが必要です: pavaneflow-cli info FILE\n"},
    {{"info", "song.dwi", "--timing", "gme"},
     2,
     "pavaneflow-cli: --timing takes classic or game, not 'gme'\n",
     "pavaneflow-cli: --timing には classic か game を指定します ('gme' ではなく)\n"},
    {{"convert", "song.dwi", "--feet", "best"},
     2,
     "pavaneflow-cli: --feet takes classic or planned, not 'best'\n",
     "pavaneflow-cli: --feet には classic か planned を指定します ('best' ではなく)\n"},
    {{"convert", "song.dwi", "--player", "3"},
     2,
     "pavaneflow-cli: --player takes 1 or 2, not '3'\n",
     "pavaneflow-cli: --player には 1 か 2 を指定します ('3' ではなく)\n"},
    {{"convert", "song.dwi", "--chart", "0"},
     2,
     "pavaneflow-cli: --chart needs a number from 1 to the number of charts (info lists them), "
     "not '0'\n",
     "pavaneflow-cli: --chart には 1 から譜面の数までの番号を指定します (info で一覧できます)。"
     "'0' は使えません\n"},
    {{"convert", "song.dwi", "--chart"},
     2,
     "pavaneflow-cli: --chart needs a chart number (1 to 3)\n",
     "pavaneflow-cli: --chart には譜面の番号 (1 から 3) が必要です\n"},
    {{"sheet", "missing.dwi", "--chart"},
     2,
     "pavaneflow-cli: --chart needs a chart number (1 to the number of charts; info lists them)\n",
     "pavaneflow-cli: --chart には譜面の番号 (1 から譜面の数まで。info で一覧できます) "
     "が必要です\n"},
    // An option given to a command that does not take it is named, with those that do.
    {{"sheet", "song.dwi", "--motion", "natural"},
     2,
     "pavaneflow-cli: sheet does not take --motion (convert and body do)\n",
     "pavaneflow-cli: sheet には --motion はありません (--motion があるのは convert と body)\n"},
    {{"info", "song.dwi", "--feet=planned"},
     2,
     "pavaneflow-cli: info does not take --feet (convert, sheet, feet and body do)\n",
     "pavaneflow-cli: info には --feet はありません (--feet があるのは convert、sheet、feet と "
     "body)\n"},
    // An option name is never taken for the value of the option before it.
    {{"convert", "song.dwi", "--output", "-o", "t.vmd"},
     2,
     "pavaneflow-cli: --output needs a value (OUT) before the next option, '-o'\n",
     "pavaneflow-cli: --output には次のオプション '-o' の前に値 (OUT) が必要です\n"},
    {{"body", "song.dwi", "--chart", "--all"},
     2,
     "pavaneflow-cli: --chart needs a value (N) before the next option, '--all'\n",
     "pavaneflow-cli: --chart には次のオプション '--all' の前に値 (N) が必要です\n"},
    // An output that cannot be written is not told like a missing input.
    {{"convert", "song.dwi", "-o", "nowhere/dance.vmd"},
     1,
     "nowhere/dance.vmd: cannot write here: the folder nowhere does not exist\n",
     "nowhere/dance.vmd: ここには書き込めません: フォルダー nowhere がありません\n"},
    {{"sheet", "song.dwi", "-o", "song.dwi/sheet.svg"},
     1,
     "song.dwi/sheet.svg: cannot write here: song.dwi is not a folder\n",
     "song.dwi/sheet.svg: ここには書き込めません: song.dwi はフォルダーではありません\n"},
    {{"convert", "song.dwi", "--chart", "9"},
     1,
     "song.dwi: --chart needs a number from 1 to 3; there is no chart 9\n",
     "song.dwi: --chart には 1 から 3 までの番号を指定します。譜面 9 はありません\n"},
    {{"convert", "song.dwi", "--all", "--chart", "2"},
     2,
     "pavaneflow-cli: --chart and --all cannot be used together\n",
     "pavaneflow-cli: --chart と --all は同時に使えません\n"},
    {{"info", "song.dwi", "--frobnicate"},
     2,
     "pavaneflow-cli: unknown option '--frobnicate' for info (pavaneflow-cli info --help lists "
     "them)\n",
     "pavaneflow-cli: info に '--frobnicate' というオプションはありません (一覧は pavaneflow-cli "
     "info --help)\n"},
    {{"info", "song.dwi", "other.dwi"},
     2,
     "pavaneflow-cli: 'other.dwi' is one argument too many for info\n",
     "pavaneflow-cli: info には 'other.dwi' は余分な引数です\n"},
    {{"convert", "song.dwi", "-o", "outdir"},
     2,
     "pavaneflow-cli: -o names a file for one chart; use --all to write every chart into a "
     "folder\n",
     "pavaneflow-cli: -o は 1 つの譜面のファイル名です。すべての譜面をフォルダーに書き出すには "
     "--all を使います\n"},
    {{"info", "dance.vmd"},
     1,
     "dance.vmd is a VMD motion, not a step chart\n",
     "dance.vmd は VMD モーションで、譜面ではありません\n"},
    {{"convert", "dance.vmd"},
     1,
     "dance.vmd is a VMD motion, not a step chart\n",
     "dance.vmd は VMD モーションで、譜面ではありません\n"},
    {{"feet", "dance.vmd"},
     1,
     "dance.vmd is a VMD motion, not a step chart\n",
     "dance.vmd は VMD モーションで、譜面ではありません\n"},
    {{"convert", "notes.txt"},
     1,
     "no step chart found in notes.txt (is it a DWI, .sm or .ssc file?)\n",
     "notes.txt に譜面が見つかりません (DWI、.sm、.ssc ファイルですか?)\n"},
    {{"body", "motion.dwi"},
     1,
     "motion.dwi is a VMD motion, not a step chart\n",
     "motion.dwi は VMD モーションで、譜面ではありません\n"},
    {{"sheet", "motion.dwi"},
     1,
     "motion.dwi is a VMD motion, not a step chart\n",
     "motion.dwi は VMD モーションで、譜面ではありません\n"},
    {{"body", "notes.txt"},
     1,
     "no step chart found in notes.txt (is it a DWI, .sm or .ssc file?)\n",
     "notes.txt に譜面が見つかりません (DWI、.sm、.ssc ファイルですか?)\n"},
    {{"body", "song.dwi", "--motion", "walk"},
     2,
     "pavaneflow-cli: --motion takes classic or natural, not 'walk'\n",
     "pavaneflow-cli: --motion には classic か natural を指定します ('walk' ではなく)\n"},
    {{"convert", "song.dwi", "--motion", "natural", "--facing", "left"},
     2,
     "pavaneflow-cli: --facing takes viewer or screen, not 'left'\n",
     "pavaneflow-cli: --facing には viewer か screen を指定します ('left' ではなく)\n"},
    {{"convert", "song.dwi", "--facing", "screen"},
     2,
     "pavaneflow-cli: --facing needs --motion as well\n",
     "pavaneflow-cli: --facing には --motion も必要です\n"},
    {{"body", "song.dwi", "--chart", "x"},
     2,
     "pavaneflow-cli: --chart needs a number from 1 to the number of charts (info lists them), "
     "not 'x'\n",
     "pavaneflow-cli: --chart には 1 から譜面の数までの番号を指定します (info で一覧できます)。"
     "'x' は使えません\n"},
    {{"body", "song.dwi", "--player", "3"},
     2,
     "pavaneflow-cli: --player takes 1 or 2, not '3'\n",
     "pavaneflow-cli: --player には 1 か 2 を指定します ('3' ではなく)\n"},
    {{"info", "outdir"},
     1,
     "outdir: no .ssc, .sm or .dwi file in this folder or beneath\n",
     "outdir: このフォルダーとその下に .ssc、.sm、.dwi ファイルがありません\n"},
    {{"info", "missing.dwi"},
     1,
     "missing.dwi: No such file or directory\n",
     "missing.dwi: そのようなファイルやディレクトリはありません\n"},
};

TEST_F(Messages, EveryMistakenCallIsToldInOurWordsInBothLanguages) {
  for (const MistakenCall& call : kMistakenCalls) {
    std::string line;
    for (const std::string& argument : call.arguments) line += argument + " ";
    SCOPED_TRACE(line);
    for (const bool japanese : {false, true}) {
      const CliRun run =
          RunCli(folder_, call.arguments, std::chrono::seconds(60), japanese ? kJapanese : "C");
      EXPECT_EQ(run.status, call.status) << run.Describe();
      EXPECT_EQ(run.err, japanese ? call.japanese : call.english);
      EXPECT_EQ(run.out, "");
    }
  }
  // Nothing was written by any of them.
  EXPECT_FALSE(fs::exists(folder_ / "song.vmd"));
}

TEST_F(Messages, AMotionThatCannotGoBesideItsChartPointsToTheOutputOption) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
  const fs::path shelf = folder_ / "shelf";
  fs::create_directories(shelf);
  WriteFileBytes(shelf / "song.dwi", kSong);
  fs::permissions(shelf, fs::perms::owner_read | fs::perms::owner_exec);
  const CliRun run = RunCli(folder_, {"convert", "shelf/song.dwi"});
  fs::permissions(shelf, fs::perms::owner_all);
  EXPECT_EQ(run.status, 1) << run.Describe();
  EXPECT_EQ(run.err,
            "shelf/song.vmd: cannot write the motion beside its chart (Permission denied); name "
            "another file with -o\n");
}

TEST_F(Messages, AFileWithoutChartsIsStillDescribedAndSaysSo) {
  const CliRun run = RunCli(folder_, {"info", "notes.txt", "--json"});
  EXPECT_EQ(run.status, 0) << run.Describe();
  EXPECT_EQ(run.err, "no step chart found in notes.txt (is it a DWI, .sm or .ssc file?)\n");
  EXPECT_EQ(run.out.rfind("{\"title\": \"\"", 0), 0u) << run.out;
}

TEST_F(Messages, ProblemListsStopAtTwentyLinesUnlessAllAreAskedFor) {
  // 25 unsupported characters on line 2, none of which game timing reads.
  WriteFileBytes(folder_ / "bad.dwi", "#BPM:120;\n#SINGLE:BASIC:1:" + std::string(25, 'x') + ";\n");
  auto lines = [](int count, bool japanese = false) {
    std::string out;
    for (int i = 0; i < count; ++i) {
      out += japanese ? "bad.dwi: 2行目:'x' には対応していません。\n"
                      : "bad.dwi: line 2: 'x' is not supported.\n";
    }
    return out;
  };
  struct Case {
    std::vector<std::string> arguments;
    const char* lang;
    std::string err;
  };
  const Case cases[] = {
      {{"info", "bad.dwi"},
       "C",
       lines(20) + "bad.dwi: ... and 5 more problems (--all-errors prints them all)\n"},
      {{"info", "bad.dwi"},
       kJapanese,
       lines(20, true) +
           "bad.dwi: ... ほかに 5 件の問題があります (すべて表示するには --all-errors)\n"},
      {{"info", "bad.dwi", "--all-errors"}, "C", lines(25)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.size());
    const CliRun run = RunCli(folder_, c.arguments, std::chrono::seconds(60), c.lang);
    EXPECT_EQ(run.status, 0) << run.Describe();
    EXPECT_EQ(run.err, c.err);
  }
}

TEST_F(Messages, ClassicProblemsThatGameTimingReadsEndWithAHint) {
  WriteFileBytes(folder_ / "game.dwi", "#BPM:120;\n#CHANGEBPM:4=60;\n#SINGLE:BASIC:1:2{88}x;\n");
  WriteFileBytes(folder_ / "game.sm", "#BPMS:0=120,x;\n#NOTES:dance-single::Hard:1::1000;\n");
  const std::string problems =
      "game.dwi: line 2: \"CHANGEBPM\" is not supported.\n"
      "game.dwi: line 3: '{' is not supported.\n"
      "game.dwi: line 3: '}' is not supported.\n"
      "game.dwi: line 3: 'x' is not supported.\n";
  const std::string japaneseProblems =
      "game.dwi: 2行目:\"CHANGEBPM\" には対応していません。\n"
      "game.dwi: 3行目:'{' には対応していません。\n"
      "game.dwi: 3行目:'}' には対応していません。\n"
      "game.dwi: 3行目:'x' には対応していません。\n";
  struct Case {
    std::vector<std::string> arguments;
    const char* lang;
    std::string err;
  };
  const Case cases[] = {
      {{"info", "game.dwi"},
       "C",
       problems + "game.dwi: hint: --timing game reads 3 of these places (tempo changes, stops, "
                  "brackets, blanks, comments) as dance games do\n"},
      {{"convert", "game.dwi", "-o", "game.vmd"},
       kJapanese,
       japaneseProblems +
           "game.dwi: ヒント: --timing game (ゲームと同じタイミング) なら、このうち 3 "
           "件をダンスゲームと同じように読めます (テンポ変化、停止、括弧、空白、コメント)\n"},
      // Game timing reports only what it cannot read itself, and gives no hint.
      {{"info", "game.dwi", "--timing", "game"}, "C", "game.dwi: line 3: 'x' is not supported.\n"},
      // Simfiles are always read in game timing: classic is not theirs, and there is no hint.
      {{"info", "game.sm"}, "C", "game.sm: line 1: \"x\" of \"BPMS\" could not be read.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.size());
    const CliRun run = RunCli(folder_, c.arguments, std::chrono::seconds(60), c.lang);
    EXPECT_EQ(run.status, 0) << run.Describe();
    EXPECT_EQ(run.err, c.err);
  }
}

TEST_F(Messages, InfoNamesModesRowsRatingsAndSkippedCharts) {
  WriteFileBytes(folder_ / "solo.dwi",
                 std::string(kSong) + "#SOLO:BASIC:2:2;\n#SOLO:MANIAC:8:2;\n#SOLO:X:1:2;\n");
  const CliRun run = RunCli(folder_, {"info", "solo.dwi"});
  EXPECT_EQ(run.status, 0) << run.Describe();
  EXPECT_EQ(run.out,
            "title: Song\nartist: \nbpm: 120.000\ngap: 0\n"
            "chart 1: SINGLE BASIC (SINGLE), meter 3\n  lane 0: 4 rows, 4 notes\n"
            "chart 2: DOUBLE ANOTHER (DOUBLE), meter 5\n  lane 0: 4 rows, 8 notes\n"
            "chart 3: COUPLE MANIAC (COUPLE), meter 7\n  lane 0: 4 rows, 4 notes\n"
            "  lane 1: 4 rows, 4 notes\n"
            "skipped: SOLO ×3\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(Messages, HelpShowsChoicesAsWordsInTheUsersLanguage) {
  struct Case {
    const char* command;
    const char* lang;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"convert",
       "C",
       {"Usage: pavaneflow-cli convert [OPTIONS] FILE...", "--timing classic|game",
        "--feet classic|planned", "--player 1|2", "--chart N", "--all-errors",
        "--motion classic|natural", "--facing viewer|screen",
        "Print every reading problem, not only the first 20"}},
      {"convert",
       kJapanese,
       {"使い方: pavaneflow-cli convert [オプション] FILE...", "--timing classic|game",
        "オプション:", "このヘルプを表示して終了します",
        "読めなかった箇所を最初の 20 件だけでなくすべて表示します", "体の動き方"}},
      {"body",
       "C",
       {"Usage: pavaneflow-cli body [OPTIONS] FILE", "--motion classic|natural",
        "--facing viewer|screen", "--player 1|2", "--chart N", "--all-errors"}},
      {"body", kJapanese, {"使い方: pavaneflow-cli body [オプション] FILE", "基準の体"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.lang);
    const CliRun run = RunCli(folder_, {c.command, "--help"}, std::chrono::seconds(60), c.lang);
    EXPECT_EQ(run.status, 0) << run.Describe();
    for (const std::string& text : c.expected) {
      EXPECT_NE(run.out.find(text), std::string::npos) << text << "\n" << run.out;
    }
  }
}

}  // namespace
}  // namespace pavaneflow::test
