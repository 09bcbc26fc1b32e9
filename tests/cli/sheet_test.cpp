// `pavaneflow-cli sheet`: from a chart and from a motion file, and the failures a user meets.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSong = "#TITLE:Sheet;\n#BPM:120;\n#SINGLE:BASIC:1:2468;\n";

std::size_t Count(const std::string& text, const std::string& piece) {
  std::size_t n = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST(SheetCommand, DrawsAChartAndItsWrittenMotionAlike) {
  const fs::path folder = MakeTestFolder("sheet");
  WriteFileBytes(folder / "song.dwi", kSong);
  const CliRun chart = RunCli(folder, {"sheet", "song.dwi"});
  ASSERT_EQ(chart.status, 0) << chart.Describe();
  EXPECT_EQ(chart.out.substr(0, chart.out.find(',')), "song.svg: 4 steps");
  const std::string fromChart = ReadFileBytes(folder / "song.svg");
  EXPECT_EQ(Count(fromChart, "<use href=\"#L\""), 2u);
  EXPECT_EQ(Count(fromChart, "<use href=\"#R\""), 2u);

  ASSERT_EQ(RunCli(folder, {"convert", "song.dwi", "-o", "song.vmd"}).status, 0);
  const CliRun motion = RunCli(folder, {"sheet", "song.vmd", "-o", "motion.svg"});
  ASSERT_EQ(motion.status, 0) << motion.Describe();
  const std::string fromMotion = ReadFileBytes(folder / "motion.svg");
  EXPECT_EQ(Count(fromMotion, "<use href=\"#L\""), 2u);
  EXPECT_EQ(Count(fromMotion, "<use href=\"#R\""), 2u);
  fs::remove_all(folder);
}

struct FailureCase {
  const char* label;
  std::vector<std::string> arguments;
  std::string message;  // the start of standard error's last line
};

TEST(SheetCommand, FailuresNameTheFileAndLeaveNoSheet) {
  const fs::path folder = MakeTestFolder("sheet_failures");
  WriteFileBytes(folder / "song.dwi", kSong);
  WriteFileBytes(folder / "cut.vmd", std::string("Vocaloid Motion Data 0002", 25) +
                                         std::string(25, '\0') + std::string("\x02\0\0\0", 4));
  const FailureCase cases[] = {
      {"missing file", {"sheet", "gone.dwi"}, "gone.dwi: "},
      {"no such chart",
       {"sheet", "song.dwi", "--chart", "3"},
       "song.dwi: --chart needs a number from 1 to"},
      {"broken motion", {"sheet", "cut.vmd"}, "cut.vmd: 54 バイト目で途切れています"},
      {"sheet over its input",
       {"sheet", "song.dwi", "-o", "song.dwi"},
       "song.dwi: would overwrite the input file"},
      {"missing folder", {"sheet", "song.dwi", "-o", "no/such/folder.svg"}, "no/such/folder.svg: "},
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(folder, c.arguments);
    EXPECT_EQ(run.status, 1) << c.label << ": " << run.Describe();
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.label << ": " << run.err;
  }
  EXPECT_FALSE(fs::exists(folder / "cut.svg"));
  EXPECT_EQ(ReadFileBytes(folder / "song.dwi"), kSong);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace pavaneflow::test
