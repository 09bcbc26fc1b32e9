#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

// Every rule of game timing at least once: a tempo change and a value without ";" that ends at
// the next tag, a stop, an unterminated skipped tag, a chart that ends at the next tag, blanks,
// every bracket, a jump group after "(" and one after "!", a "5" rest and a comment.
constexpr const char* kAllFeatures =
    "#TITLE:All;\n#BPM:120;\n#CHANGEBPM:8=60\n#FREEZE:2=500;\n#DISPLAYBPM:*\n#SINGLE:BASIC:1:\n"
    " 2 (4<68>) [2]{2}`2'5 // 0;\n8!8 <24>\n#BPMCHANGE:16=240;\n";

// The largest frame number among the key frames of a VMD file.
std::int32_t LastFrameNumber(const std::string& vmd) {
  constexpr std::size_t kHeader = 54, kRecord = 111, kFrameField = 15;
  std::int32_t last = -1;
  for (std::size_t at = kHeader; at + kRecord <= vmd.size(); at += kRecord) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) {
      number = number << 8 | static_cast<std::uint8_t>(vmd[at + kFrameField + i]);
    }
    last = std::max(last, static_cast<std::int32_t>(number));
  }
  return last;
}

class TimingOption : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTestFolder("pavaneflow-timing");
    WriteFileBytes(dir_ / "all.dwi", kAllFeatures);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
};

TEST_F(TimingOption, InfoShowsTheModelOfGameTiming) {
  const CliRun game = RunCli(dir_, {"info", "--json", "--timing", "game", "all.dwi"});
  ASSERT_EQ(game.status, 0) << game.Describe();
  EXPECT_EQ(game.err, "");
  auto tap = [](int tick, const std::string& notes) {
    return "{\"tick\": " + std::to_string(tick) + ", \"notes\": [" + notes + "]}";
  };
  auto note = [](int arrow, int kind = 0) {
    return "{\"arrow\": " + std::to_string(arrow) + ", \"kind\": " + std::to_string(kind) + "}";
  };
  const std::string frames =
      tap(0, note(49)) + ", " + tap(24, note(48)) + ", " + tap(36, note(51) + ", " + note(50)) +
      ", " + tap(48, note(49)) + ", " + tap(56, note(49)) + ", " + tap(59, note(49)) + ", " +
      tap(84, note(50, 1)) + ", " + tap(96, "") + ", " + tap(108, note(49) + ", " + note(48));
  EXPECT_EQ(game.out,
            "{\"title\": \"All\", \"artist\": \"\", \"bpm\": 120, \"file\": \"\", \"gap\": 0, "
            "\"timing\": \"game\", \"tempos\": [{\"tick\": 96, \"bpm\": 60}, {\"tick\": 192, "
            "\"bpm\": 240}], \"stops\": [{\"tick\": 24, \"ms\": 500}], \"format\": \"dwi\", "
            "\"offset\": 0, \"delays\": [], \"warps\": [], \"errors\": [], "
            "\"scores\": [{\"name\": \"SINGLE BASIC\", \"mode\": 0, \"meter\": 1, "
            "\"description\": \"\", \"lanes\": [{\"key\": 0, "
            "\"frames\": [" +
                frames + "]}]}]}\n");

  const CliRun classic = RunCli(dir_, {"info", "--json", "all.dwi"});
  ASSERT_EQ(classic.status, 0) << classic.Describe();
  EXPECT_NE(classic.out.find("\"gap\": 0, \"timing\": \"classic\", \"tempos\": [], \"stops\": [], "
                             "\"format\": \"dwi\", \"offset\": 0, \"delays\": [], \"warps\": [], "
                             "\"errors\": [\"3行目:\\\"CHANGEBPM\\\" には対応していません。\""),
            std::string::npos)
      << classic.out;
}

TEST_F(TimingOption, TheSummaryNamesGameTimingOnly) {
  const CliRun game = RunCli(dir_, {"info", "--timing", "game", "all.dwi"});
  ASSERT_EQ(game.status, 0) << game.Describe();
  EXPECT_NE(
      game.out.find("gap: 0\ntiming: game (tempo changes: 2, stops: 1)\nchart 1: SINGLE BASIC"),
      std::string::npos)
      << game.out;
  const CliRun classic = RunCli(dir_, {"info", "all.dwi"});
  EXPECT_EQ(classic.out.find("timing"), std::string::npos) << classic.out;
}

TEST_F(TimingOption, ConvertDancesInGameTime) {
  // The last step, at tick 108: two beats at 120 BPM, a quarter beat at 60 and the stop of half
  // a second make 1.75 s, frame 52.
  const CliRun game = RunCli(dir_, {"convert", "--timing", "game", "all.dwi", "-o", "game.vmd"});
  ASSERT_EQ(game.status, 0) << game.Describe();
  EXPECT_EQ(LastFrameNumber(ReadFileBytes(dir_ / "game.vmd")), 52);

  // Read the classic way, the unterminated "#DISPLAYBPM:*" swallows the chart.
  const CliRun classic = RunCli(dir_, {"convert", "--timing", "classic", "all.dwi", "-o", "c.vmd"});
  EXPECT_EQ(classic.status, 1) << classic.Describe();
  EXPECT_NE(classic.err.find("no step chart found in all.dwi (is it a DWI, .sm or .ssc file?)"),
            std::string::npos);
}

TEST_F(TimingOption, AnUnknownTimingIsAUsageError) {
  for (const char* command : {"info", "convert"}) {
    SCOPED_TRACE(command);
    const CliRun run = RunCli(dir_, {command, "--timing", "arcade", "all.dwi"});
    EXPECT_EQ(run.status, 2) << run.Describe();
    EXPECT_FALSE(fs::exists(dir_ / "all.vmd"));
  }
}

}  // namespace
}  // namespace pavaneflow::test
