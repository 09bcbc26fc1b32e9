#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "chart/simfile_notes.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

using test::ScoreText;

// An .sm file at 120 BPM with `tags` and one chart of `type` whose note data is `notes`; the
// notes begin on line 3.
std::string Sm(std::string_view notes, std::string_view tags = "",
               std::string_view type = "dance-single") {
  return "#BPMS:0=120;" + std::string(tags) + "\n#NOTES:" + std::string(type) + "::Hard:5::\n" +
         std::string(notes) + ";";
}

struct Case {
  const char* name;
  std::string text;
  const char* score;
  std::vector<std::string> errors = {};
};

void Check(const Case& c) {
  SCOPED_TRACE(c.name);
  const auto read = test::ReadSimfile(c.text, ChartFormat::kSm);
  ASSERT_EQ(read->song.scores.size(), 1u);
  EXPECT_EQ(ScoreText(*read->song.scores[0]), c.score);
  EXPECT_EQ(read->errors, c.errors);
}

TEST(SimfileNotes, RowsLieEvenlyInTheirMeasure) {
  struct Row {
    std::int64_t measure, row, rows;
    Tick tick;
  } const rows[] = {
      {0, 0, 1, 0},   {0, 1, 4, 48},  {1, 1, 3, 256},   {0, 1, 7, 27},
      {0, 3, 7, 82},  {0, 1, 192, 1}, {2, 95, 96, 574}, {0, 1, 384, 0},
      {0, 3, 384, 2}, {0, 5, 384, 2}, {0, 7, 384, 4},   {3, 11, 12, 752},
      {0, 1, 5, 38},  {0, 2, 5, 77},  {0, 63, 64, 189}, {0, 191, 192, 191},
  };
  for (const Row& r : rows) {
    Tick tick = -1;
    ASSERT_TRUE(RowTick(r.measure, r.row, r.rows, tick));
    EXPECT_EQ(tick, r.tick) << r.measure << " " << r.row << "/" << r.rows;
  }
  Tick tick = 0;
  EXPECT_FALSE(RowTick(11184811, 0, 4, tick));  // past the last tick
}

TEST(SimfileNotes, EveryCharacterStepsAsTheGamesShowIt) {
  const Case cases[] = {
      {"one tap per column", Sm("1000\n0100\n0010\n0001\n"), "0[0:0 48:1 96:2 144:3]"},
      {"a lift is a tap; mines, fakes, keysounds and zeros are nothing",
       Sm("L000\nM000\nF000\nK000"), "0[0:0]"},
      {"a hold", Sm("2000\n0000\n3000\n0000"), "0[0:0* 48: 96:0/]"},
      {"a roll", Sm("0400\n0000\n0300\n0000"), "0[0:1* 48: 96:1/]"},
      {"a tail without a hold", Sm("3000\n1000\n0000\n0000"), "0[0: 48:0]"},
      {"a jump with a hold", Sm("2100\n0000\n3000\n0000"), "0[0:0*1 48: 96:0/]"},
      {"a keysound suffix is skipped", Sm("1[ks.ogg]001\n0000\n0000\n0000"), "0[0:03]"},
      {"extra columns are ignored, short rows padded", Sm("10001\n1\n0000\n0000"), "0[0:0 48:0]"},
      {"three rows", Sm("1000\n1000\n1000"), "0[0:0 48: 64:0 96: 128:0]"},
      {"empty measures and commas", Sm("1000\n,\n,1000\n"),
       "0[0:0 48: 96: 144: 192: 240: 288: 336: 384:0]"},
      {"blank lines are no rows", Sm("  1000  \n\n\t0000\r\n"), "0[0:0]"},
      {"double: the second pad", Sm("10000001\n", "", "dance-double"), "0[0:0C]"},
      {"couple: the second player", Sm("10000001\n00000000", "", "dance-couple"), "0[0:0] 1[0:3]"},
  };
  for (const Case& c : cases) Check(c);
}

TEST(SimfileNotes, HoldHeadsNeverClosedAreRemoved) {
  const std::string unclosed = "ロングノートの始まりに終わりがないので、取り除きました。";
  const Case cases[] = {
      {"alone", Sm("2000\n0000\n0000\n0000"), "", {"3行目:" + unclosed}},
      {"a second head before the tail",
       Sm("2000\n2000\n3000\n0000"),
       "0[0: 48:0* 96:0/]",
       {"3行目:" + unclosed}},
      {"reported by row",
       Sm("0200\n2000\n1000\n0000"),
       "0[0: 48: 96:0]",
       {"3行目:" + unclosed, "4行目:" + unclosed}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(SimfileNotes, NothingIsSteppedInWarpsAndFakes) {
  const std::string taps = "1000\n1000\n1000\n1000";
  const Case cases[] = {
      {"warp", Sm(taps, "#WARPS:1=1;"), "0[0:0 48: 96:0 144:0]"},
      {"fake range", Sm(taps, "#FAKES:1=1;"), "0[0:0 48: 96:0 144:0]"},
      {"unrounded bounds", Sm(taps, "#WARPS:1.01=1;"), "0[0:0 48:0 96: 144:0]"},
      {"a warp made by a negative stop", Sm(taps, "#STOPS:1=-0.5;"), "0[0:0 48: 96:0 144:0]"},
      {"a head inside a warp opens no hold", Sm("0000\n2000\n0000\n3000", "#WARPS:1=1;"), ""},
      {"a tail inside a warp ends the hold", Sm("2000\n0000\n3000\n0000", "#WARPS:2=1;"),
       "0[0:0* 48: 96:0/]"},
      {"a tail inside fakes ends the hold", Sm("2000\n0000\n3000\n0000", "#FAKES:2=1;"),
       "0[0:0* 48: 96:0/]"},
  };
  for (const Case& c : cases) Check(c);
}

}  // namespace
}  // namespace pavaneflow
