#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

using test::ReadDwi;
using test::ScoreText;
using test::Utf8;

std::string Unsupported(int line, const std::string& c) {
  return std::to_string(line) + "行目:'" + c + "' には対応していません。";
}

std::string Unreadable(int line, const std::string& tag, const std::string& entry) {
  return std::to_string(line) + "行目:\"" + tag + "\" の \"" + entry + "\" は読めませんでした。";
}

std::unique_ptr<test::DwiRead> ReadGame(const std::string& text) {
  return ReadDwi(text, ChartTiming::kGame);
}

struct GameChartCase {
  std::string text;   // a whole file whose first chart is looked at
  const char* lanes;  // see ScoreText
  std::vector<std::string> errors;
};

const GameChartCase kGameChartCases[] = {
    // Every opener has its own length; every closer gives 24 again.
    {"#SINGLE:B:1:(22)[22]{22}`22'2;", "0[0:1 12:1 24:1 32:1 40:1 43:1 46:1 47:1 48:1]", {}},
    {"#SINGLE:B:1:(2>2;", "0[0:1 12:1]", {}},
    // Brackets do not nest: the last opener counts.
    {"#SINGLE:B:1:([22)2;", "0[0:1 8:1 16:1]", {}},
    // A "[" group's length does not depend on how many characters it holds.
    {"#SINGLE:B:1:[22222]2;", "0[0:1 8:1 16:1 24:1 32:1 40:1]", {}},

    // Jump groups: one Frame, then the ">" moves on by the step length in force.
    {"#SINGLE:B:1:<24>8;", "0[0:10 24:2]", {}},
    {"#SINGLE:B:1:(2<46>88);", "0[0:1 12:03 24:2 36:2]", {}},
    {"#SINGLE:B:1:<>8;", "0[0: 24:2]", {}},
    // A "0" before the ">": the "<" is a 192nd opener and the ">" a closer.
    {"#SINGLE:B:1:<2408>8;", "0[0:1 1:0 3:2 4:2]", {}},
    {"#SINGLE:B:1:<24;>8;", "0[0:1 1:0]", {}},
    // The look-ahead runs across lines and passes over comments.
    {"#SINGLE:B:1:<2 // 0;\n4>8;", "0[0:10 24:2]", {}},
    // ... and stops where a line starts a tag, or the file ends.
    {"#SINGLE:B:1:<24\n#SINGLE:C:1:>8;", "0[0:1 1:0]", {}},
    {"#SINGLE:B:1:<24", "0[0:1 1:0]", {}},
    // A "<" inside a group opens nothing new.
    {"#SINGLE:B:1:<2<4>8;", "0[0:10 24:2]", {}},
    // "!" acts on the group's Frame, even first in it.
    {"#SINGLE:B:1:<!24>2;", "0[0:1*0 24:1/]", {}},
    {"#SINGLE:B:1:<24!6>;", "0[0:103*]", {}},
    // A "!" that takes the ">" leaves the group open until the next one.
    {"#SINGLE:B:1:<2!>4>8;", "0[0:10 24:2]", {Unsupported(1, ">")}},
    // Steps of every kind in a group take no time, unsupported ones with their error.
    {"#SINGLE:B:1:<2x5>8;", "0[0:1 24:2]", {Unsupported(1, "x")}},
    // A ":" inside a group starts the next section, where the group goes on.
    {"#COUPLE:B:1:<2:4>8;", "0[0:1] 1[0:0 24:2]", {}},
    {"#COUPLE:B:1:2<8:!24>8;", "0[0:1 24:2] 1[0:1*0 24:2]", {}},

    // Blanks are gone before any rule sees them, also between "!" and its character.
    {"#SINGLE:B:1:2 4\t6;", "0[0:1 24:0 48:3]", {}},
    {"#SINGLE:B:1:8! 8;", "0[0:2*]", {}},
    {"#SINGLE:B:1:8 !\n 8  8;", "0[0:2* 24:2/]", {}},
    // "5" is a rest, and marks nothing after "!".
    {"#SINGLE:B:1:258;", "0[0:1 48:2]", {}},
    {"#SINGLE:B:1:8!58;", "0[0:2 24:2]", {}},
    // "//" starts a comment to the end of its line, blanks between the slashes or not.
    {"#SINGLE:B:1:24 // 68;\n88;", "0[0:1 24:0 48:2 72:2]", {}},
    {"#SINGLE:B:1:2/ /8\n4;", "0[0:1 24:0]", {}},
    {"#SINGLE:B:1:2/8;", "0[0:1 48:2]", {Unsupported(1, "/")}},

    // An unterminated chart ends before a line that starts a tag.
    {"#SINGLE:B:1:24\n  #SINGLE:C:1:8;", "0[0:1 24:0]", {}},
    {"#SINGLE:B:1:2\n\t#FREEZE:4=100;\n8;", "0[0:1]", {}},
};

TEST(DwiReaderGame, StepsBecomeFramesAsGamesPlayThem) {
  for (const GameChartCase& c : kGameChartCases) {
    SCOPED_TRACE(c.text);
    auto read = ReadGame(c.text);
    ASSERT_FALSE(read->song.scores.empty());
    EXPECT_EQ(ScoreText(*read->song.scores[0]), c.lanes);
    EXPECT_EQ(read->errors, c.errors);
  }
}

TEST(DwiReaderGame, AValueWithoutItsSemicolonEndsWhereTheNextTagBegins) {
  auto read = ReadGame(
      "#TITLE:Song\n#ARTIST:Me;\n#DISPLAYBPM:*\n#FREEZE:96=500;\n#SINGLE:BASIC\n"
      "#GAP:12;\n#COUPLE:B:1:2\n #SINGLE:C:1:8;");
  EXPECT_EQ(Utf8(read->song.title), "Song");
  EXPECT_EQ(Utf8(read->song.artist), "Me");
  EXPECT_EQ(read->song.gap, 12);
  ASSERT_EQ(read->song.stops.size(), 1u);
  EXPECT_EQ(read->song.stops[0].tick, 1152);
  ASSERT_EQ(read->song.scores.size(), 3u);
  EXPECT_EQ(Utf8(read->song.scores[0]->name), "SINGLE BASIC");
  EXPECT_EQ(ScoreText(*read->song.scores[0]), "");
  EXPECT_EQ(ScoreText(*read->song.scores[1]), "0[0:1]");
  EXPECT_EQ(ScoreText(*read->song.scores[2]), "0[0:2]");
  EXPECT_TRUE(read->errors.empty());

  // The tag name before its ":" still reads on across lines, as in classic timing.
  read = ReadGame("#TITLE\n#ARTIST:Me;");
  EXPECT_EQ(Utf8(read->song.artist), "");
}

struct TimingTagCase {
  std::string text;
  std::vector<std::pair<Tick, float>> tempos;
  std::vector<std::pair<Tick, double>> stops;
  std::vector<std::string> errors;
};

const TimingTagCase kTimingTagCases[] = {
    {"#CHANGEBPM:112.250=180;", {{1347, 180.0f}}, {}, {}},
    {"#BPMCHANGE: 8 = 150 ,16=200.5;#FREEZE:4=250.5,-0=10;",
     {{96, 150.0f}, {192, 200.5f}},
     {{0, 10.0}, {48, 250.5}},
     {}},
    // Keys round to the nearest tick, halves away from zero; values need not be whole.
    {"#FREEZE:0.125=1e3,.5=-12522,1.=+.25;", {}, {{2, 1000.0}, {6, -12522.0}, {12, 0.25}}, {}},
    // The last entry at a tick wins, across both spellings; a 0 ms stop is kept.
    {"#CHANGEBPM:8=150,4=99;#BPMCHANGE:8=160;#FREEZE:4=0;",
     {{48, 99.0f}, {96, 160.0f}},
     {{48, 0.0}},
     {}},
    // Tempos are rounded to floats like #BPM.
    {"#CHANGEBPM:1=150.1;", {{12, 150.1f}}, {}, {}},
    {"#FREEZE:;", {}, {}, {Unreadable(1, "FREEZE", "")}},
    {"#changebpm:4=120,;", {{48, 120.0f}}, {}, {Unreadable(1, "CHANGEBPM", "")}},
    {"#CHANGEBPM:x=1, 4 ,-1=120,1e39=5,4=1e39,4=1e-50,4=0,4=-5,4=12a,4==1,8=+120;",
     {{96, 120.0f}},
     {},
     {Unreadable(1, "CHANGEBPM", "x=1"), Unreadable(1, "CHANGEBPM", " 4 "),
      Unreadable(1, "CHANGEBPM", "-1=120"), Unreadable(1, "CHANGEBPM", "1e39=5"),
      Unreadable(1, "CHANGEBPM", "4=1e39"), Unreadable(1, "CHANGEBPM", "4=1e-50"),
      Unreadable(1, "CHANGEBPM", "4=0"), Unreadable(1, "CHANGEBPM", "4=-5"),
      Unreadable(1, "CHANGEBPM", "4=12a"), Unreadable(1, "CHANGEBPM", "4==1")}},
    // Past the 32-bit range of ticks, and a stop that is not finite.
    {"#FREEZE:178956971=1,178956970=1,4=1e400;",
     {},
     {{2147483640, 1.0}},
     {Unreadable(1, "FREEZE", "178956971=1"), Unreadable(1, "FREEZE", "4=1e400")}},
    // Errors stand on the line of the tag's ":", in file order with the others.
    {"#SINGLE:B:1:x;\n#FREEZE\n:\n4=1,\ny;\n#SINGLE:B:1:z;",
     {},
     {{48, 1.0}},
     {Unsupported(1, "x"), Unreadable(3, "FREEZE", "y"), Unsupported(6, "z")}},
};

TEST(DwiReaderGame, TimingTagsGiveTempoChangesAndStops) {
  for (const TimingTagCase& c : kTimingTagCases) {
    SCOPED_TRACE(c.text);
    auto read = ReadGame(c.text);
    std::vector<std::pair<Tick, float>> tempos;
    for (const TempoChange& change : read->song.tempos)
      tempos.emplace_back(change.tick, change.bpm);
    std::vector<std::pair<Tick, double>> stops;
    for (const Stop& stop : read->song.stops) stops.emplace_back(stop.tick, stop.ms);
    EXPECT_EQ(tempos, c.tempos);
    EXPECT_EQ(stops, c.stops);
    EXPECT_EQ(read->errors, c.errors);
  }
}

TEST(DwiReaderGame, ClassicTimingReadsNoneOfIt) {
  auto read = ReadDwi("#BPMCHANGE:8=150;#FREEZE:4=10;\n#SINGLE:B:1:<24>5;");
  EXPECT_TRUE(read->song.tempos.empty());
  EXPECT_TRUE(read->song.stops.empty());
  EXPECT_EQ(read->errors.size(), 4u);  // FREEZE, "<", ">" and "5"
}

TEST(DwiReaderGame, ManyOpenersWithoutACloserStayLinear) {
  // One look-ahead answers for every "<" before the place where it stopped.
  auto read = ReadGame("#SINGLE:A:1:" + std::string(1'000'000, '<') + "2;");
  EXPECT_EQ(ScoreText(*read->song.scores[0]), "0[0:1]");
  std::string lines = "#SINGLE:A:1:";
  for (int i = 0; i < 100'000; ++i) lines += "<<<<<<<<<<2\n";
  read = ReadGame(lines);
  EXPECT_EQ(read->song.scores[0]->lanes[0]->frames.size(), 100'000u);
}

}  // namespace
}  // namespace pavaneflow
