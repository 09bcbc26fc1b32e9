#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

using test::Utf8;

// Every Score as "NAME mode/meter/description/tempo at 0/offset/own", one per line.
std::string Charts(const DWIDocument& song) {
  std::string text;
  for (const auto& score : song.scores) {
    text += Utf8(score->name) + ' ' + std::to_string(score->mode) + '/' +
            std::to_string(score->meter) + '/' + Utf8(score->description);
    if (score->simfileTiming != nullptr) {
      text += '/' + std::to_string(static_cast<int>(score->simfileTiming->tempos.front().bpm)) +
              '/' + std::to_string(static_cast<int>(score->simfileTiming->offset * 1000)) + "ms" +
              (score->simfileTiming == song.simfileTiming ? "/song" : "/own");
    }
    text += '\n';
  }
  return text;
}

struct Case {
  const char* name;
  ChartFormat format;
  std::string_view text;
  const char* charts;
  std::vector<std::string> errors = {};
};

constexpr ChartFormat kSm = ChartFormat::kSm;
constexpr ChartFormat kSsc = ChartFormat::kSsc;

TEST(SimfileReader, ChartsAreNamedByModeAndDifficulty) {
  const Case cases[] = {
      {"sm charts", kSm,
       "#BPMS:0=120;\n"
       "#NOTES:dance-single:Pat:Basic:3:0,0:1000;\n"
       "#NOTES: dance-double :: smaniac :12::1000;\n"
       "#NOTES:Dance-Couple:::x::1000;\n"
       "#NOTES:dance-single::Beginner:1::;\n",
       "SINGLE EASY 0/3/Pat/120/0ms/song\nDOUBLE CHALLENGE 1/12//120/0ms/song\n"
       "COUPLE EDIT 2/0//120/0ms/song\nSINGLE BEGINNER 0/1//120/0ms/song\n"},
      {"old names", kSm,
       "#BPMS:0=120;#NOTES:dance-single::another:::;#NOTES:dance-single::maniac:::;"
       "#NOTES:dance-single::light:::;#NOTES:dance-single::oni:::;",
       "SINGLE MEDIUM 0/0//120/0ms/song\nSINGLE HARD 0/0//120/0ms/song\n"
       "SINGLE EASY 0/0//120/0ms/song\nSINGLE CHALLENGE 0/0//120/0ms/song\n"},
      {"unsupported types and short NOTES are reported",
       kSm,
       "#BPMS:0=120;\n#NOTES:dance-solo::Hard:1::;\n#NOTES:pump-single::Hard:1::;\n"
       "#NOTES:dance-single:x:Hard;\n",
       "",
       {"2行目:\"dance-solo\" の譜面には対応していません。",
        "3行目:\"pump-single\" の譜面には対応していません。",
        "4行目:\"NOTES\" の値が足りません。"}},
      {"ssc charts",
       kSsc,
       "#BPMS:0=120;\n#NOTEDATA:;\n#CHARTNAME:Name;\n#STEPSTYPE:dance-single;\n"
       "#DIFFICULTY:Hard;\n#METER:9;\n#NOTES:1000;\n"
       "#NOTEDATA:;\n#STEPSTYPE:dance-solo;\n#NOTES:1000;\n"
       "#NOTEDATA:;#DESCRIPTION:Desc;#CHARTNAME:Name;#STEPSTYPE:dance-double;#NOTES:;\n",
       "SINGLE HARD 0/9/Name/120/0ms/song\nDOUBLE EDIT 1/0/Desc/120/0ms/song\n",
       {"9行目:\"dance-solo\" の譜面には対応していません。"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto read = test::ReadSimfile(c.text, c.format);
    EXPECT_EQ(Charts(read->song), c.charts);
    EXPECT_EQ(read->errors, c.errors);
  }
}

TEST(SimfileReader, SscChartsMayHaveTheirOwnTiming) {
  const std::string_view song = "#OFFSET:0.25;#BPMS:0=120;\n";
  const Case cases[] = {
      {"own tempo, the song's offset", kSsc,
       "#NOTEDATA:;#STEPSTYPE:dance-single;#BPMS:0=60;#NOTES:;", "SINGLE EDIT 0/0//60/250ms/own\n"},
      {"own offset and tempo", kSsc,
       "#NOTEDATA:;#STEPSTYPE:dance-single;#OFFSET:-0.5;#BPMS:0=90;#NOTES:;",
       "SINGLE EDIT 0/0//90/-500ms/own\n"},
      {"an offset alone is not timing", kSsc,
       "#NOTEDATA:;#STEPSTYPE:dance-single;#OFFSET:1;#NOTES:;",
       "SINGLE EDIT 0/0//120/250ms/song\n"},
      {"fakes alone are not timing", kSsc, "#NOTEDATA:;#STEPSTYPE:dance-single;#FAKES:1=1;#NOTES:;",
       "SINGLE EDIT 0/0//120/250ms/song\n"},
      {"an empty list is timing, and no tempo is 60 BPM", kSsc,
       "#NOTEDATA:;#STEPSTYPE:dance-single;#STOPS:;#NOTES:;", "SINGLE EDIT 0/0//60/250ms/own\n"},
      {"an empty tempo list is reported",
       kSsc,
       "#NOTEDATA:;\n#STEPSTYPE:dance-single;\n#BPMS:;#NOTES:;",
       "SINGLE EDIT 0/0//60/250ms/own\n",
       {"4行目:使えるテンポがないため、60 BPM として読みました。"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto read = test::ReadSimfile(std::string(song) + std::string(c.text), c.format);
    EXPECT_EQ(Charts(read->song), c.charts);
    EXPECT_EQ(read->errors, c.errors);
  }
  // Before version 0.70 every chart takes the song's timing.
  const auto old = test::ReadSimfile(
      "#VERSION:0.60;#BPMS:0=120;#NOTEDATA:;#STEPSTYPE:dance-single;#BPMS:0=60;#NOTES:;", kSsc);
  EXPECT_EQ(Charts(old->song), "SINGLE EDIT 0/0//120/0ms/song\n");
}

TEST(SimfileReader, SongTagsFillTheSong) {
  const auto read = test::ReadSimfile(
      "#TITLE:Song;#SUBTITLE:Sub;#ARTIST:Me;#TITLETRANSLIT:T;#ARTISTTRANSLIT:A;#MUSIC:song.ogg;"
      "#OFFSET:0.0125;#BPMS:0=150.5,4=200;#DISPLAYBPM:*;#SPEEDS:0=1=0=0;#TIMESIGNATURES:0=4=4;",
      kSsc);
  const SongDocument& song = read->song;
  EXPECT_EQ(Utf8(song.title), "Song");
  EXPECT_EQ(Utf8(song.subtitle), "Sub");
  EXPECT_EQ(Utf8(song.artist), "Me");
  EXPECT_EQ(Utf8(song.titleTranslit), "T");
  EXPECT_EQ(Utf8(song.artistTranslit), "A");
  EXPECT_EQ(Utf8(song.file), "song.ogg");
  EXPECT_EQ(song.bpm, 150.5f);
  EXPECT_EQ(song.gap, -12);  // -12.5 ms, toward zero
  EXPECT_EQ(song.format, kSsc);
  EXPECT_TRUE(read->errors.empty());
  EXPECT_FALSE(song.IsModified());
}

TEST(SimfileReader, ErrorsComeInFileOrder) {
  const auto read =
      test::ReadSimfile("#BPMS:0=120;\n#NOTES:dance-single::Hard:1::\n2000\n;\n#STOPS:x;\n", kSm);
  const std::vector<std::string> errors = {
      "3行目:ロングノートの始まりに終わりがないので、取り除きました。",
      "5行目:\"STOPS\" の \"x\" は読めませんでした。"};
  EXPECT_EQ(read->errors, errors);
  EXPECT_EQ(read->errorCount, 2);
}

TEST(SimfileReader, DwiRatingIsTheMeter) {
  const auto read = test::ReadDwi("#BPM:120;\n#SINGLE:BASIC:3:2;\n#DOUBLE:ANOTHER:x:2:2;\n");
  ASSERT_EQ(read->song.scores.size(), 2u);
  EXPECT_EQ(read->song.scores[0]->meter, 3);
  EXPECT_EQ(read->song.scores[1]->meter, 0);
  EXPECT_EQ(read->song.format, ChartFormat::kDwi);
  EXPECT_EQ(read->song.simfileTiming, nullptr);
}

}  // namespace
}  // namespace pavaneflow
