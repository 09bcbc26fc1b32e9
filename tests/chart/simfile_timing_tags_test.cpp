#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

std::string Number(double value) {
  char digits[32];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// "offset O; tempos T:B ...; stops T:S ...; delays T:S ...; warps B+L ...; fakes B+L ...".
std::string TimingText(const SimfileTiming& timing) {
  std::string text = "offset " + Number(timing.offset) + "; tempos";
  for (const TempoChange& change : timing.tempos) {
    text += ' ' + std::to_string(change.tick) + ':' + Number(change.bpm);
  }
  auto pauses = [&text](const char* name, const std::vector<Pause>& list) {
    text += std::string("; ") + name;
    for (const Pause& pause : list) {
      text += ' ' + std::to_string(pause.tick) + ':' + Number(pause.seconds);
    }
  };
  auto ranges = [&text](const char* name, const std::vector<BeatRange>& list) {
    text += std::string("; ") + name;
    for (const BeatRange& range : list)
      text += ' ' + Number(range.start) + '+' + Number(range.length);
  };
  pauses("stops", timing.stops);
  pauses("delays", timing.delays);
  ranges("warps", timing.warps);
  ranges("fakes", timing.fakes);
  return text;
}

struct Case {
  const char* name;
  ChartFormat format;
  std::string_view text;
  const char* timing;
  std::vector<std::string> errors;
};

void Check(const Case& c) {
  SCOPED_TRACE(c.name);
  const auto read = test::ReadSimfile(c.text, c.format);
  ASSERT_NE(read->song.simfileTiming, nullptr);
  EXPECT_EQ(TimingText(*read->song.simfileTiming), c.timing);
  EXPECT_EQ(read->errors, c.errors);
}

constexpr ChartFormat kSm = ChartFormat::kSm;
constexpr ChartFormat kSsc = ChartFormat::kSsc;

TEST(SimfileTimingTags, ListsReadAsEntriesOfBeatsAndValues) {
  const Case cases[] = {
      {"tempo changes and stops",
       kSm,
       "#OFFSET:-0.25;#BPMS:0=120, 2.5 = 240;#STOPS:1=0.5;",
       "offset -0.25; tempos 0:120 120:240; stops 48:0.5; delays; warps; fakes",
       {}},
      {"FREEZES is STOPS, DELAYS and FAKES are kept",
       kSm,
       "#BPMS:0=120;#FREEZES:1=0.5;#DELAYS:2=0.25;#FAKES:3=1;",
       "offset 0; tempos 0:120; stops 48:0.5; delays 96:0.25; warps; fakes 3+1",
       {}},
      {"beats round to ticks, halves away from zero",
       kSm,
       "#BPMS:0=120,0.09375=130,-0.09375=100;",
       "offset 0; tempos 0:120 5:130; stops; delays; warps; fakes",
       {}},
      {"the last entry at a tick wins",
       kSm,
       "#BPMS:0=120,1=150,1.001=160;",
       "offset 0; tempos 0:120 48:160; stops; delays; warps; fakes",
       {}},
      {"a repeated tag adds to the first",
       kSm,
       "#BPMS:0=120;#STOPS:1=1;#STOPS:2=1;",
       "offset 0; tempos 0:120; stops 48:1 96:1; delays; warps; fakes",
       {}},
      {"bad entries are reported on the tag's line",
       kSm,
       "#BPMS:0=120,x=3,\n1=2=3, ,4=,5;\n#STOPS:1=0.5s;",
       "offset 0; tempos 0:120; stops; delays; warps; fakes",
       {"1行目:\"BPMS\" の \"x=3\" は読めませんでした。",
        "1行目:\"BPMS\" の \"1=2=3\" は読めませんでした。",
        "1行目:\"BPMS\" の \"4=\" は読めませんでした。",
        "1行目:\"BPMS\" の \"5\" は読めませんでした。",
        "3行目:\"STOPS\" の \"1=0.5s\" は読めませんでした。"}},
      {"sm drops zero tempos and stops",
       kSm,
       "#BPMS:0=120,1=0;#STOPS:1=0;",
       "offset 0; tempos 0:120; stops; delays; warps; fakes",
       {}},
      {"before beat 0 tempos set the first and stops shift the offset",
       kSm,
       "#OFFSET:0.5;#BPMS:-2=90,-1=100,2=150;#STOPS:-1=0.25;",
       "offset 0.25; tempos 0:100 96:150; stops; delays; warps; fakes",
       {}},
      {"without a tempo at beat 0 the next one holds from the start",
       kSm,
       "#BPMS:2=150;",
       "offset 0; tempos 0:150; stops; delays; warps; fakes",
       {}},
      {"no usable tempo: 60 BPM, reported on the last BPMS",
       kSm,
       "#TITLE:x;\n#BPMS:0=0;\n",
       "offset 0; tempos 0:60; stops; delays; warps; fakes",
       {"2行目:使えるテンポがないため、60 BPM として読みました。"}},
      {"no tempo at all: reported on line 1",
       kSsc,
       "\n#TITLE:x;",
       "offset 0; tempos 0:60; stops; delays; warps; fakes",
       {"1行目:使えるテンポがないため、60 BPM として読みました。"}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(SimfileTimingTags, OldFilesWarpWithNegativeTemposAndStops) {
  const Case cases[] = {
      // A stop of -s under tempo p warps s × p ÷ 60 beats.
      {"negative stop",
       kSm,
       "#BPMS:0=120;#STOPS:4=-0.5;",
       "offset 0; tempos 0:120; stops; delays; warps 4+1; fakes",
       {}},
      // -n from b to p at c: to c + (c - b) × p ÷ n.
      {"negative tempo",
       kSm,
       "#BPMS:0=120,4=-60,6=120;",
       "offset 0; tempos 0:120; stops; delays; warps 4+6; fakes",
       {}},
      {"the tempo after the warp starts at its start",
       kSm,
       "#BPMS:0=120,4=-120,6=60;",
       "offset 0; tempos 0:120 192:60; stops; delays; warps 4+3; fakes",
       {}},
      {"a too fast tempo",
       kSm,
       "#BPMS:0=120,4=99999999,5=120;",
       "offset 0; tempos 0:120; stops; delays; warps 4+1; fakes",
       {}},
      {"a tempo change inside the warp pays at its own rate",
       kSm,
       "#BPMS:0=60,5=120;#STOPS:4=-2;",
       "offset 0; tempos 0:60 192:120; stops; delays; warps 4+3; fakes",
       {}},
      {"a stop pays the rest back and the rest of it stays",
       kSm,
       "#BPMS:0=60;#STOPS:4=-2,5=3;",
       "offset 0; tempos 0:60; stops 240:2; delays; warps 4+1; fakes",
       {}},
      {"a stop too short to pay back is spent",
       kSm,
       "#BPMS:0=60;#STOPS:4=-2,5=0.5;",
       "offset 0; tempos 0:60; stops; delays; warps 4+1.5; fakes",
       {}},
      {"a negative tempo at beat 0 takes the next tempo",
       kSm,
       "#BPMS:0=-60,1=120;",
       "offset 0; tempos 0:120; stops; delays; warps 0+3; fakes",
       {}},
      {"a warp that never ends",
       kSm,
       "#BPMS:0=120,4=-60;",
       "offset 0; tempos 0:120; stops; delays; warps 4+inf; fakes",
       {}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(SimfileTimingTags, NewFilesAllowOnlyWhatTheyMean) {
  const Case cases[] = {
      {"non-positive tempos, stops, delays, warps and fakes are dropped",
       kSsc,
       "#BPMS:0=120,4=-60;\n#STOPS:1=0,2=-1,3=0.5;\n#DELAYS:1=0;#WARPS:1=-1;#FAKES:1=0;",
       "offset 0; tempos 0:120; stops 144:0.5; delays; warps; fakes",
       {"1行目:\"BPMS\" の \"4=-60\" は読めませんでした。",
        "2行目:\"STOPS\" の \"1=0\" は読めませんでした。",
        "2行目:\"STOPS\" の \"2=-1\" は読めませんでした。",
        "3行目:\"DELAYS\" の \"1=0\" は読めませんでした。",
        "3行目:\"WARPS\" の \"1=-1\" は読めませんでした。",
        "3行目:\"FAKES\" の \"1=0\" は読めませんでした。"}},
      {"warps are lengths",
       kSsc,
       "#VERSION:0.83;#BPMS:0=120;#WARPS:4=6;",
       "offset 0; tempos 0:120; stops; delays; warps 4+6; fakes",
       {}},
      {"warps are lengths without a version",
       kSsc,
       "#BPMS:0=120;#WARPS:4=6;",
       "offset 0; tempos 0:120; stops; delays; warps 4+6; fakes",
       {}},
      {"before 0.70 warps end at a beat",
       kSsc,
       "#VERSION:0.60;#BPMS:0=120;#WARPS:4=6,8=7;",
       "offset 0; tempos 0:120; stops; delays; warps 4+2; fakes",
       {"1行目:\"WARPS\" の \"8=7\" は読めませんでした。"}},
      {"a bad offset",
       kSsc,
       "#OFFSET:soon;#BPMS:0=120;",
       "offset 0; tempos 0:120; stops; delays; warps; fakes",
       {"1行目:\"OFFSET\" の \"soon\" は読めませんでした。"}},
  };
  for (const Case& c : cases) Check(c);
}

}  // namespace
}  // namespace pavaneflow
