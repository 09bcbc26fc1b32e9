// Reading problems on standard error in the user's language: every kind in English, and under a
// Japanese locale exactly the reader's own Japanese (what the application shows); the charts of
// other games in one line per file; a tempo that is not a positive number refused.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/problem_text.h"
#include "chart/utf8.h"
#include "cli/cli_runner.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kJapanese = "ja_JP.UTF-8";

class ProblemLines : public testing::Test {
 protected:
  void SetUp() override { folder_ = MakeTestFolder("pavaneflow-problems"); }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

TEST_F(ProblemLines, EveryKindIsToldInBothLanguages) {
  struct Case {
    const char* file;
    std::string bytes;
    ReadingProblem problem;  // the one problem the file has
    const char* english;
  };
  const std::string holdChart = "#BPMS:0=120;\n#NOTES:dance-single::Hard:1::\n2000\n0000\n;\n";
  const Case cases[] = {
      {"tag.dwi",
       "#BPM:120;\n#FREEZE:4=100;\n#SINGLE:BASIC:1:2;\n",
       {2, ProblemKind::kUnsupportedTag, {u"FREEZE"}},
       "line 2: \"FREEZE\" is not supported."},
      {"character.dwi",
       "#BPM:120;\n#SINGLE:BASIC:1:2x;\n",
       {2, ProblemKind::kUnsupportedCharacter, {u"x"}},
       "line 2: 'x' is not supported."},
      {"entry.sm",
       "#BPMS:0=120,x;\n#NOTES:dance-single::Hard:1::\n1000\n;\n",
       {1, ProblemKind::kUnreadableTimingEntry, {u"BPMS", u"x"}},
       "line 1: \"x\" of \"BPMS\" could not be read."},
      {"values.sm",
       "#BPMS:0=120;\n#NOTES:dance-single:Hard;\n#NOTES:dance-single::Hard:1::\n1000\n;\n",
       {2, ProblemKind::kTooFewValues, {u"NOTES"}},
       "line 2: \"NOTES\" has too few values."},
      {"type.sm",
       "#BPMS:0=120;\n#NOTES:pump-single::Hard:1::\n10000\n;\n"
       "#NOTES:dance-single::Hard:1::\n1000\n;\n",
       {2, ProblemKind::kUnsupportedChartType, {u"pump-single"}},
       "1 chart of another game skipped: pump-single"},
      {"hold.sm",
       holdChart,
       {3, ProblemKind::kUnclosedHold, {}},
       "line 3: a hold starts here and never ends; it was left out."},
      {"tempo.sm",
       "#BPMS:;\n#NOTES:dance-single::Hard:1::\n1000\n;\n",
       {1, ProblemKind::kNoTempo, {}},
       "line 1: no usable tempo; read at 60 BPM."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    WriteFileBytes(folder_ / c.file, c.bytes);
    for (const bool japanese : {false, true}) {
      const CliRun run =
          RunCli(folder_, {"info", c.file}, std::chrono::seconds(60), japanese ? kJapanese : "C");
      EXPECT_EQ(run.status, 0) << run.Describe();
      std::string line = c.english;
      if (japanese) {
        // The catalogue gives back the core's own text, the one the application shows.
        line = ToUtf8(ProblemText(c.problem));
        if (c.problem.kind == ProblemKind::kUnsupportedChartType) {
          line = "ほかのゲームの譜面 1 個を読み飛ばしました: pump-single";
        }
      }
      // The first line: a DWI tag that game timing reads is followed by the hint.
      EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1),
                std::string(c.file) + ": " + line + "\n");
    }
  }
  // Every kind of the core has an English pattern in the catalogue, under its name.
  const std::string catalogue = ReadFileBytes(fs::path(PAVANEFLOW_SOURCE_DIR) / "po/ja.po");
  for (const ProblemKind kind : AllProblemKinds()) {
    const std::string context = "msgctxt \"reading problem " + std::string(ProblemKindName(kind));
    EXPECT_NE(catalogue.find(context + "\"\n"), std::string::npos) << context;
  }
}

TEST_F(ProblemLines, ProblemsPastTheReadersLimitAreCountedInTheUsersLanguage) {
  WriteFileBytes(folder_ / "flood.dwi",
                 "#BPM:120;\n#SINGLE:BASIC:1:" + std::string(10002, 'x') + ";\n");
  for (const bool japanese : {false, true}) {
    const CliRun run = RunCli(folder_, {"info", "flood.dwi", "--all-errors"},
                              std::chrono::seconds(60), japanese ? kJapanese : "C");
    EXPECT_EQ(run.status, 0) << run.Describe();
    const std::string last = run.err.substr(run.err.rfind("flood.dwi: "));
    EXPECT_EQ(last, japanese ? "flood.dwi: ほか 2 件のエラーは省略しました。\n"
                             : "flood.dwi: further problems left out: 2.\n");
  }
}

TEST_F(ProblemLines, ChartsOfOtherGamesAreOneLineUnlessEveryProblemIsAskedFor) {
  std::string pack = "#BPMS:0=120;\n";
  for (const char* type : {"pump-single", "pump-double", "pump-single", "kb7-single"}) {
    pack += std::string("#NOTES:") + type + "::Hard:1::\n1000\n;\n";
  }
  pack += "#NOTES:dance-single::Hard:1::\n1000\n;\n#NOTES:dance-single::Easy:1::\n2000\n;\n";
  WriteFileBytes(folder_ / "pack.sm", pack);
  struct Case {
    std::vector<std::string> arguments;
    const char* lang;
    const char* err;
  } const cases[] = {
      {{"convert", "pack.sm", "-o", "pack.vmd"},
       "C",
       "pack.sm: line 18: a hold starts here and never ends; it was left out.\n"
       "pack.sm: 4 charts of other games skipped: pump-single, pump-double, kb7-single\n"},
      {{"info", "pack.sm"},
       kJapanese,
       "pack.sm: 18行目:ロングノートの始まりに終わりがないので、取り除きました。\n"
       "pack.sm: ほかのゲームの譜面 4 個を読み飛ばしました: pump-single, pump-double, "
       "kb7-single\n"},
      {{"info", "pack.sm", "--all-errors"},
       "C",
       "pack.sm: line 2: charts of type \"pump-single\" are not supported.\n"
       "pack.sm: line 5: charts of type \"pump-double\" are not supported.\n"
       "pack.sm: line 8: charts of type \"pump-single\" are not supported.\n"
       "pack.sm: line 11: charts of type \"kb7-single\" are not supported.\n"
       "pack.sm: line 18: a hold starts here and never ends; it was left out.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    const CliRun run = RunCli(folder_, c.arguments, std::chrono::seconds(60), c.lang);
    EXPECT_EQ(run.status, 0) << run.Describe();
    EXPECT_EQ(run.err, c.err);
  }
}

TEST_F(ProblemLines, ATempoThatIsNoPositiveNumberIsAProblemAndNothingIsDanced) {
  struct Case {
    const char* bpm;  // the #BPM tag, or none
    const char* english;
    const char* japanese;
  } const cases[] = {
      {"#BPM:abc;\n",
       "song.dwi: line 1: the tempo \"abc\" of \"BPM\" is not a positive number and is not used.\n",
       "song.dwi: 1行目:\"BPM\" のテンポ \"abc\" は正の数ではないので使えません。\n"},
      {"#BPM:-120;\n",
       "song.dwi: line 1: the tempo \"-120\" of \"BPM\" is not a positive number and is not "
       "used.\n",
       "song.dwi: 1行目:\"BPM\" のテンポ \"-120\" は正の数ではないので使えません。\n"},
      {"#BPM:0;\n",
       "song.dwi: line 1: the tempo \"0\" of \"BPM\" is not a positive number and is not used.\n",
       "song.dwi: 1行目:\"BPM\" のテンポ \"0\" は正の数ではないので使えません。\n"},
      {"#BPM:1e999;\n",
       "song.dwi: line 1: the tempo \"1e999\" of \"BPM\" is not a positive number and is not "
       "used.\n",
       "song.dwi: 1行目:\"BPM\" のテンポ \"1e999\" は正の数ではないので使えません。\n"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bpm);
    WriteFileBytes(folder_ / "song.dwi", std::string(c.bpm) + "#SINGLE:BASIC:1:2468;\n");
    for (const std::string command : {"convert", "sheet", "feet", "body"}) {
      const CliRun english = RunCli(folder_, {command, "song.dwi"});
      EXPECT_EQ(english.status, 1) << english.Describe();
      EXPECT_EQ(english.err, std::string(c.english) +
                                 "song.dwi: no usable tempo (#BPM is missing or not a positive "
                                 "number): nothing can be danced\n");
    }
    const CliRun japanese =
        RunCli(folder_, {"convert", "song.dwi"}, std::chrono::seconds(60), kJapanese);
    EXPECT_EQ(japanese.err, std::string(c.japanese) +
                                "song.dwi: 使えるテンポがありません (#BPM がないか、正の数ではあり"
                                "ません)。ダンスを作れません\n");
    // info still describes what it read.
    const CliRun info = RunCli(folder_, {"info", "song.dwi"});
    EXPECT_EQ(info.status, 0) << info.Describe();
    EXPECT_NE(info.out.find("chart 1: SINGLE BASIC"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder_ / "song.vmd"));
  }
}

}  // namespace
}  // namespace pavaneflow::test
