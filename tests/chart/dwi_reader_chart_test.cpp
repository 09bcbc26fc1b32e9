#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/file_error.h"
#include "chart/dwi_document.h"
#include "chart/dwi_reader.h"
#include "chart/line_source.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

using test::ReadDwi;
using test::ScoreText;
using test::Utf8;

const char kUnsupported[] = " には対応していません。";

std::string Unsupported(int line, const std::string& c) {
  return std::to_string(line) + "行目:'" + c + "'" + kUnsupported;
}

struct ChartCase {
  std::string text;  // a whole file holding one chart
  const char* name;
  const char* lanes;  // see ScoreText
  std::vector<std::string> errors;
};

const ChartCase kChartCases[] = {
    {"#SINGLE:Basic:3:2468;", "SINGLE BASIC", "0[0:1 24:0 48:3 72:2]", {}},
    {"#SINGLE:BASIC:1:00008;", "SINGLE BASIC", "0[0: 48: 96:2]", {}},
    {"#SINGLE:BASIC:1:12346789AB;",
     "SINGLE BASIC",
     "0[0:01 24:1 48:13 72:0 96:3 120:02 144:2 168:23 192:12 216:03]",
     {}},
    {"#SINGLE:BASIC:1:(2468)2;", "SINGLE BASIC", "0[0:1 12:0 24:3 36:2 48:1]", {}},
    {"#SINGLE:BASIC:1:[222222]2;", "SINGLE BASIC", "0[0:1 16:1 32:1 48:1 64:1 80:1 96:1]", {}},
    {"#SINGLE:BASIC:1:[22];", "SINGLE BASIC", "0[0:1 48:1]", {}},
    {"#SINGLE:BASIC:1:[22222]2;", "SINGLE BASIC", "0[0:1 19:1 38:1 48: 57:1 76:1 95:1]", {}},
    {"#SINGLE:BASIC:1:[]22;", "SINGLE BASIC", "0[0:1 24:1]", {}},
    {"#SINGLE:BASIC:1:(2[\n22]2;", "SINGLE BASIC", "0[0:1 12:1 24:1 36:1]", {}},
    {"#SINGLE:BASIC:1:(24\n68)2;", "SINGLE BASIC", "0[0:1 12:0 24:3 36:2 48:1]", {}},
    {"#SINGLE:BASIC:1:)(2x4)2;", "SINGLE BASIC", "0[0:1 24:0 36:1]", {Unsupported(1, "x")}},
    {"#SINGLE:BASIC:1:[" + std::string(97, '2') + "]8;", "SINGLE BASIC", "0[0:12]", {}},
    {std::string("#SINGLE:BASIC:1:[22\0xxx]\n2;", 27), "SINGLE BASIC", "0[0:1 48:1 96:1]", {}},
    {"#SINGLE:BASIC:1:8!808;", "SINGLE BASIC", "0[0:2* 48:2/]", {}},
    {"#SINGLE:BASIC:1:2!8;", "SINGLE BASIC", "0[0:12*]", {}},
    // A freeze ended by a step's second arrow, and one of two freezes ended.
    {"#SINGLE:BASIC:1:2!21;", "SINGLE BASIC", "0[0:1* 24:01/]", {}},
    {"#SINGLE:BASIC:1:B!B32;", "SINGLE BASIC", "0[0:0*3* 24:13/ 48:1]", {}},
    {"#SINGLE:BASIC:1:8!\n8;", "SINGLE BASIC", "0[0:2*]", {}},
    {"#SINGLE:BASIC:1:8!;8;", "SINGLE BASIC", "0[0:2 24:2]", {Unsupported(1, ";")}},
    {"#SINGLE:BASIC:1:2!!8;", "SINGLE BASIC", "0[0:1 24:2]", {Unsupported(1, "!")}},
    {"#SINGLE:BASIC:1:!0;", "SINGLE BASIC", "0[0:]", {}},
    {"#SINGLE:BASIC:1:2!", "SINGLE BASIC", "0[0:1]", {}},
    {"#DOUBLE:BASIC:5:28:46;", "DOUBLE BASIC", "0[0:1@ 24:2C]", {}},
    {"#DOUBLE:BASIC:5:2:(88);", "DOUBLE BASIC", "0[0:1B 12:B]", {}},
    {"#DOUBLE:BASIC:5:2!2:2;", "DOUBLE BASIC", "0[0:1*A]", {}},
    // A second pad shorter than the first ends the beats early.
    {"#DOUBLE:BASIC:5:20002:2;", "DOUBLE BASIC", "0[0:1A 96:1]", {}},
    {"#DOUBLE:BASIC:5:200!0002:2;", "DOUBLE BASIC", "0[0:1A 48: 120:1]", {}},
    {"#DOUBLE:BASIC:5:20002:000002;", "DOUBLE BASIC", "0[0:1 48: 96:1 120:A]", {}},
    {"#COUPLE:BASIC:5:28:46;", "COUPLE BASIC", "0[0:1 24:2] 1[0:0 24:3]", {}},
    {"#COUPLE:X:1:2!2:02;", "COUPLE X", "0[0:1*] 1[0: 24:1/]", {}},
    {"#COUPLE:X:1:00:2;", "COUPLE X", "1[0:1]", {}},
    {"#SINGLE:BASIC:1:2:8:6;", "SINGLE BASIC", "0[0:1] 1[0:2] 2[0:3]", {}},
    {"#SINGLE:BASIC:1:25;", "SINGLE BASIC", "0[0:1]", {Unsupported(1, "5")}},
    {"#SINGLE:BASIC:1:2 2;", "SINGLE BASIC", "0[0:1 48:1]", {Unsupported(1, " ")}},
    {"#SINGLE:BASIC:1:aB;", "SINGLE BASIC", "0[0: 24:03]", {Unsupported(1, "a")}},
    {"#SINGLE:BASIC:1:\n22\n2x;", "SINGLE BASIC", "0[0:1 24:1 48:1]", {Unsupported(3, "x")}},
    {"#SINGLE:BASIC:1:;", "SINGLE BASIC", "", {}},
    {"#single: light \t:1:28;", "SINGLE LIGHT", "0[0:1 24:2]", {}},
    {"#SINGLE::1:28;", "SINGLE ", "0[0:1 24:2]", {}},
    {"#SINGLE:BASIC:1:28;#SINGLE:X:2:46;", "SINGLE BASIC", "0[0:1 24:2]", {}},
    {"#SINGLE:BASIC:1:28", "SINGLE BASIC", "0[0:1 24:2]", {}},
    {"#SINGLE:BASIC:1:2\n#GAP:1;",
     "SINGLE BASIC",
     "0[0:1 48: 72:12] 1[0:01]",
     {Unsupported(2, "#"), Unsupported(2, "G"), Unsupported(2, "P")}},
    {"#SINGLE:BASIC:1:[\xF0\x9F\x98\x80]2;",
     "SINGLE BASIC",
     "0[0: 48: 96:1]",
     {Unsupported(1, "\xEF\xBF\xBD"), Unsupported(1, "\xEF\xBF\xBD")}},
};

TEST(DwiReaderChart, StepsBecomeFramesAndNotes) {
  for (const ChartCase& c : kChartCases) {
    SCOPED_TRACE(c.text);
    auto read = ReadDwi(c.text);
    ASSERT_EQ(read->song.scores.size(), 1u);
    const Score& score = *read->song.scores[0];
    EXPECT_EQ(Utf8(score.GetName()), c.name);
    EXPECT_EQ(ScoreText(score), c.lanes);
    EXPECT_EQ(read->errors, c.errors);
    EXPECT_EQ(read->viewUpdates, 0) << "chart tags touch neither the flag nor the views";
  }
}

TEST(DwiReaderChart, ModesFollowTheTagWord) {
  auto read = ReadDwi("#SINGLE:A:1:;\n#DOUBLE:B:1:;\n#COUPLE:C:1:;");
  ASSERT_EQ(read->song.scores.size(), 3u);
  EXPECT_EQ(read->song.scores[0]->mode, kSingle);
  EXPECT_EQ(read->song.scores[1]->mode, kDouble);
  EXPECT_EQ(read->song.scores[2]->mode, kCouple);
}

TEST(DwiReaderChart, TheRatingBecomesTheMeter) {
  for (const ChartTiming timing : {ChartTiming::kClassic, ChartTiming::kGame}) {
    auto read =
        ReadDwi("#SINGLE:BASIC: 3 :2;\n#DOUBLE:MANIAC:10:2:8;\n#COUPLE:X::2:8;\n#SINGLE:Y", timing);
    ASSERT_EQ(read->song.scores.size(), 4u);
    EXPECT_EQ(read->song.scores[0]->meter, 3);
    EXPECT_EQ(read->song.scores[1]->meter, 10);
    EXPECT_EQ(read->song.scores[2]->meter, 0);
    EXPECT_EQ(read->song.scores[3]->meter, 0);
  }
}

TEST(DwiReaderChart, OpenFreezesAndTheLastStepCarryIntoTheNextChart) {
  // The first chart leaves "1" held and its last step at tick 72; the second chart's "!" before
  // any step marks tick 72, and its first step on "1" ends the held freeze.
  auto read = ReadDwi("#SINGLE:A:1:2!2000;\n#SINGLE:B:1:!82;");
  ASSERT_EQ(read->song.scores.size(), 2u);
  EXPECT_EQ(ScoreText(*read->song.scores[0]), "0[0:1* 48:]");
  EXPECT_EQ(ScoreText(*read->song.scores[1]), "0[0:1/ 72:2*]");

  read = ReadDwi("#SINGLE:A:1:2!2;\n#DOUBLE:B:1:2:2;");
  EXPECT_EQ(ScoreText(*read->song.scores[1]), "0[0:1/A]");
}

TEST(DwiReaderChart, AStepOutsideTheBasicPlaneGivesOneEntryPerCodeUnit) {
  auto read = ReadDwi("#SINGLE:A:1:\xF0\x9F\x98\x80;");
  EXPECT_EQ(read->song.LastErrors(),
            u"1行目:'\xD83D' には対応していません。\r\n1行目:'\xDE00' には対応していません。");
}

TEST(DwiReaderChart, ErrorEntriesPastTheLimitAreCountedInOneLastEntry) {
  const int extra = 5;
  auto read = ReadDwi("#SINGLE:A:1:" + std::string(DWIReader::kMaxErrorEntries + extra, 'x'));
  EXPECT_EQ(read->errorCount, DWIReader::kMaxErrorEntries + extra);
  ASSERT_EQ(read->errors.size(), static_cast<std::size_t>(DWIReader::kMaxErrorEntries + 1));
  EXPECT_EQ(read->errors[DWIReader::kMaxErrorEntries - 1], Unsupported(1, "x"));
  EXPECT_EQ(read->errors.back(), "ほか 5 件のエラーは省略しました。");
}

// Hands out its lines, then fails as a file that cannot be read further.
class FailingLines : public LineSource {
 public:
  explicit FailingLines(std::vector<std::u16string> lines) : lines_(std::move(lines)) {}

  bool ReadLine(std::u16string_view& line) override {
    if (next_ == lines_.size()) throw FileError("chart.dwi", "Input/output error");
    line = lines_[next_++];
    return true;
  }

 private:
  std::vector<std::u16string> lines_;
  std::size_t next_ = 0;
};

TEST(DwiReaderChart, AReadErrorInAChartLeavesOnlyTheFramesOfItsSteps) {
  DWIDocument song;
  FailingLines input({u"#SINGLE:A:1:2000", u"20002"});
  DWIReader reader(song, input);
  EXPECT_THROW(reader.ReadTags(), FileError);
  ASSERT_EQ(song.scores.size(), 1u);
  EXPECT_EQ(ScoreText(*song.scores[0]), "0[0:1 96:1 192:1]");
}

TEST(DwiReaderChart, HostileGroupsAndSeparatorsStayLinear) {
  // Each "[" counts at most the characters that can still change the step length.
  auto read = ReadDwi("#SINGLE:A:1:" + std::string(1'000'000, '[') + "2;");
  EXPECT_EQ(ScoreText(*read->song.scores[0]), "0[0:1]");

  read = ReadDwi("#SINGLE:A:1:" + std::string(200'000, ':') + "2;");
  ASSERT_EQ(read->song.scores[0]->lanes.size(), 1u);
  EXPECT_EQ(read->song.scores[0]->lanes[0]->key, 200'000);

  read = ReadDwi("#SINGLE:A:1:2" + std::string(1'000'000, '!') + ";");
  EXPECT_EQ(read->errorCount, 500'000);
}

}  // namespace
}  // namespace pavaneflow
