#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/dwi_numbers.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

using test::ReadDwi;
using test::Utf8;

struct HeaderCase {
  const char* text;
  const char* title;
  const char* artist;
  int updates;  // views notified, once per header tag
};

const HeaderCase kHeaderCases[] = {
    {"#title:Song;", "Song", "", 1},
    {"#TITLE:A:B;", "A:B", "", 1},
    {"#TITLE:A#B;", "A#B", "", 1},
    {"#TITLE; x\n#ARTIST:Name;", "", "", 0},
    {"#TITLE:Song", "Song", "", 1},
    {"#TITLE:  Song \t\u3000;", "Song", "", 1},
    {"#TITLE:\u00A0\u2028x\u0085;", "\u2028x\u0085", "", 1},
    {"#:xyz;#TITLE:T;", "T", "", 1},
    {"#DISPLAYBPM:150;#TITLE:T;", "T", "", 1},
    {"#TITLE:a;#ARTIST:b;#TITLE:c;", "c", "b", 3},
    {"#TI\nTLE:So\r\nng;", "Song", "", 1},
    {"#TITLE:\xC3\xA9t\xC3\xA9;", "\xC3\xA9t\xC3\xA9", "", 1},
    {"no tags at all", "", "", 0},
    {"", "", "", 0},
};

TEST(DwiReaderTags, HeaderValuesAreStoredAndEachNotifiesTheViews) {
  for (const HeaderCase& c : kHeaderCases) {
    SCOPED_TRACE(c.text);
    auto read = ReadDwi(c.text);
    EXPECT_EQ(Utf8(read->song.title), c.title);
    EXPECT_EQ(Utf8(read->song.artist), c.artist);
    EXPECT_EQ(read->viewUpdates, c.updates);
    EXPECT_FALSE(read->song.IsModified());
    EXPECT_TRUE(read->errors.empty());
  }
}

TEST(DwiReaderTags, NulEndsItsLineForTheTagScan) {
  // The "#" after the NUL is never seen; the next line is read normally.
  auto read = ReadDwi(std::string("#FILE:a;\0#TITLE:x;\n#ARTIST:y;", 29));
  EXPECT_EQ(Utf8(read->song.file), "a");
  EXPECT_EQ(Utf8(read->song.title), "");
  EXPECT_EQ(Utf8(read->song.artist), "y");
}

struct BpmCase {
  const char* value;
  float bpm;
};

const float kInf = std::numeric_limits<float>::infinity();

const BpmCase kBpmCases[] = {
    {"150.5", 150.5f},
    {" 150.5 ", 150.5f},
    {"\u3000\t150", 150.0f},
    {"fast", 0.0f},
    {"", 0.0f},
    {"120.000", 120.0f},
    {"1.", 1.0f},
    {".5", 0.5f},
    {"  .5e", 0.5f},
    {"2e", 2.0f},
    {"2e+", 2.0f},
    {"2E2x", 200.0f},
    {"-90", -90.0f},
    {"+7", 7.0f},
    {"-.5", -0.5f},
    {"0x10", 0.0f},
    {"inf", 0.0f},
    {"nan", 0.0f},
    {"+", 0.0f},
    {".", 0.0f},
    {"1,5", 1.0f},
    {"155.88", 155.88f},
    {"1e39", kInf},
    {"-1e39", -kInf},
    {"1e400", kInf},
    {"1e-400", 0.0f},
    {"0.1e-999999999999999999999", 0.0f},
    {"340282356779733661637539395458142568448", kInf},  // 2^128 - 2^103 rounds up
    // The nearest double of this is 2^128 - 2^103, so it overflows too.
    {"340282356779733661637539395458142568447", kInf},
    {"340282351709131260724621789471329746944", std::numeric_limits<float>::max()},
    {"1e-45", std::numeric_limits<float>::denorm_min()},
    {"\u0661\u0662", 0.0f},  // only ASCII digits count
};

TEST(DwiReaderTags, BpmReadsTheLongestDecimalPrefixAsTheNearestFloat) {
  for (const BpmCase& c : kBpmCases) {
    SCOPED_TRACE(c.value);
    auto read = ReadDwi(std::string("#BPM:") + c.value + ";");
    EXPECT_EQ(read->song.bpm, c.bpm);
    // A tempo that cannot time a step is read as ever, and said to be one.
    const bool usable = c.bpm > 0.0f && c.bpm != kInf;
    EXPECT_EQ(read->song.HasUsableTempo(), usable);
    const std::vector<std::string> problem = {std::string("1行目:\"BPM\" のテンポ \"") + c.value +
                                              "\" は正の数ではないので使えません。"};
    EXPECT_EQ(read->errors, usable ? std::vector<std::string>() : problem);
  }
  EXPECT_TRUE(std::signbit(ParseBpm(u"-0")));
}

TEST(DwiReaderTags, BpmRoundsTwiceThroughDouble) {
  // Halfway between two floats only after rounding to the nearest double first.
  const float viaDouble = ParseBpm(u"1.000000059604644775390625000000000000001");
  EXPECT_EQ(viaDouble, 1.0f);
}

struct GapCase {
  const char* value;
  std::int32_t gap;
};

const GapCase kGapCases[] = {
    {"-120", -120},
    {"12.9", 12},
    {" +5ms", 5},
    {"ms", 0},
    {"-", 0},
    {"2147483647", 2147483647},
    {"2147483648", 2147483647},
    {"-2147483648", std::numeric_limits<std::int32_t>::min()},
    {"-99999999999", std::numeric_limits<std::int32_t>::min()},
    {"99999999999999999999999999", 2147483647},
    {"0x10", 0},
};

TEST(DwiReaderTags, GapReadsADecimalIntegerSaturatingAt32Bits) {
  for (const GapCase& c : kGapCases) {
    SCOPED_TRACE(c.value);
    auto read = ReadDwi(std::string("#GAP:") + c.value + ";");
    EXPECT_EQ(read->song.gap, c.gap);
  }
}

struct ErrorCase {
  const char* text;
  std::vector<std::string> errors;
};

const ErrorCase kErrorCases[] = {
    {"#CHANGEBPM:96=180;\n#BPM:120;", {"1行目:\"CHANGEBPM\" には対応していません。"}},
    {"\n\n#freeze\n:1=2;", {"4行目:\"FREEZE\" には対応していません。"}},
    {"#FREEZE", {"2行目:\"FREEZE\" には対応していません。"}},
    {"#Freeze:x#ChangeBpm:y",
     {"1行目:\"FREEZE\" には対応していません。", "1行目:\"CHANGEBPM\" には対応していません。"}},
    {"#TITLE:x;\n\n#BPM:\n0\n;#BPM:150;",
     {"3行目:\"BPM\" のテンポ \"0\" は正の数ではないので使えません。"}},
};

TEST(DwiReaderTags, UnsupportedTagsAreReportedOnTheLineOfTheirColon) {
  for (const ErrorCase& c : kErrorCases) {
    SCOPED_TRACE(c.text);
    auto read = ReadDwi(c.text);
    EXPECT_EQ(read->errors, c.errors);
  }
}

TEST(DwiReaderTags, ChangeBpmValueIsScannedForTagsAndTheTempoStays) {
  auto read = ReadDwi("#BPM:150;#CHANGEBPM:96=180,#TITLE:in value;#GAP:3;");
  EXPECT_EQ(read->song.bpm, 150.0f);
  EXPECT_EQ(Utf8(read->song.title), "in value");
  EXPECT_EQ(read->song.gap, 3);
  EXPECT_EQ(read->errors.size(), 1u);
}

}  // namespace
}  // namespace pavaneflow
