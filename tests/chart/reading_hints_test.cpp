// What the reader notes for the user besides the error entries: the problems game timing would
// read, and the charts of a kind it skips.
#include <string>

#include <gtest/gtest.h>

#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

using test::ReadDwi;
using test::Utf8;

struct GameReadableCase {
  const char* text;
  std::int64_t errors;
  std::int64_t gameReadable;
};

const GameReadableCase kGameReadableCases[] = {
    {"#SINGLE:BASIC:1:2468;", 0, 0},
    {"#CHANGEBPM:96=180;#FREEZE:8=100;", 2, 2},
    {"#SINGLE:BASIC:1:{2222}`8888'<24>2;", 6, 6},
    {"#SINGLE:BASIC:1:2 4\t6;", 2, 2},
    {"#SINGLE:BASIC:1:25;", 1, 1},
    // A comment is two slashes side by side; one slash alone game timing reports too.
    {"#SINGLE:BASIC:1:2//note\n8;", 6, 2},
    {"#SINGLE:BASIC:1:2/8;", 1, 0},
    {"#SINGLE:BASIC:1:2x8;", 1, 0},
    {"#SINGLE:BASIC:1:2x{8;", 2, 1},
    // After "!" the character is reported as well, and counted by the same rule.
    {"#SINGLE:BASIC:1:8!{;", 1, 1},
};

TEST(ReadingHints, ClassicProblemsThatGameTimingReadsAreCounted) {
  for (const GameReadableCase& c : kGameReadableCases) {
    SCOPED_TRACE(c.text);
    auto read = ReadDwi(c.text);
    EXPECT_EQ(read->song.LastErrorCount(), c.errors);
    EXPECT_EQ(read->song.LastGameReadableCount(), c.gameReadable);
  }
}

TEST(ReadingHints, GameTimingCountsNothingForItself) {
  auto read = ReadDwi("#FREEZE:x;#SINGLE:BASIC:1:2x{8;", ChartTiming::kGame);
  EXPECT_EQ(read->song.LastErrorCount(), 2);
  EXPECT_EQ(read->song.LastGameReadableCount(), 0);
}

struct SkippedCase {
  const char* text;
  const char* skipped;  // "TAG×count" in order, blank-separated
  std::size_t scores;
};

const SkippedCase kSkippedCases[] = {
    {"#SINGLE:BASIC:1:2;", "", 1},
    {"#SOLO:BASIC:1:2;#SINGLE:BASIC:1:2;\n#solo:ANOTHER:5:8;\n# Solo :MANIAC:9:4;", "SOLO×3", 1},
    // Other unknown tags are no charts and stay silent.
    {"#DISPLAYBPM:150;#SAMPLESTART:3;#SOLOIST:x;", "", 0},
};

TEST(ReadingHints, SkippedChartTagsAreCountedInTheModelWithoutAnError) {
  for (const ChartTiming timing : {ChartTiming::kClassic, ChartTiming::kGame}) {
    for (const SkippedCase& c : kSkippedCases) {
      SCOPED_TRACE(c.text);
      auto read = ReadDwi(c.text, timing);
      std::string skipped;
      for (const SkippedChart& chart : read->song.skippedCharts) {
        if (!skipped.empty()) skipped += ' ';
        skipped += Utf8(chart.tag) + "×" + std::to_string(chart.count);
      }
      EXPECT_EQ(skipped, c.skipped);
      EXPECT_EQ(read->song.scores.size(), c.scores);
      EXPECT_TRUE(read->errors.empty());
    }
  }
}

TEST(ReadingHints, EmptyingTheSongForgetsTheSkippedCharts) {
  auto read = ReadDwi("#SOLO:BASIC:1:2;");
  ASSERT_EQ(read->song.skippedCharts.size(), 1u);
  read->song.DeleteContents();
  EXPECT_TRUE(read->song.skippedCharts.empty());
  EXPECT_EQ(read->song.LastGameReadableCount(), 0);
}

}  // namespace
}  // namespace pavaneflow
