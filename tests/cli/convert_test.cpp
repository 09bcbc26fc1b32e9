#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

// Runs `convert` with blank-separated `arguments` inside `dir`.
CliRun Convert(const fs::path& dir, const std::string& arguments) {
  std::vector<std::string> words{"convert"};
  std::istringstream in(arguments);
  for (std::string word; in >> word;) words.push_back(word);
  return RunCli(dir, words);
}

class ConvertCommand : public testing::Test {
 protected:
  void SetUp() override { dir_ = MakeTestFolder("pavaneflow-convert"); }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) {
    WriteFileBytes(dir_ / name, text);
  }
  std::uintmax_t SizeOf(const std::string& name) const { return fs::file_size(dir_ / name); }
  std::vector<std::string> FilesIn(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_ / folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

// One tap on the down arrow: 13 key frames, 54 + 13 × 111 bytes.
constexpr const char* kSmall = "#TITLE:Small;\n#BPM:120;\n#GAP:0;\n#SINGLE:BASIC:1:2;\n";
constexpr std::uintmax_t kSmallSize = 1497;

constexpr const char* kThreeCharts =
    "#TITLE:Three;\n#BPM:150;\n#SINGLE:BASIC:1:2468;\n#DOUBLE:Another:3:2468:8642;\n"
    "#COUPLE:MANIAC:5:2200:0088;\n";

TEST_F(ConvertCommand, WritesBesideTheInputByDefault) {
  Write("small.dwi", kSmall);
  const CliRun result = Convert(dir_, "small.dwi");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(SizeOf("small.vmd"), kSmallSize);
  EXPECT_NE(result.out.find("small.vmd"), std::string::npos);
  EXPECT_EQ(result.err, "");
}

TEST_F(ConvertCommand, OptionsShapeTheFile) {
  struct Case {
    const char* arguments;
    const char* output;
    std::uintmax_t size;
    const char* errContains;
  };
  const Case cases[] = {
      {"small.dwi -o out.vmd", "out.vmd", kSmallSize, ""},
      {"small.dwi --no-twist -o a.vmd", "a.vmd", 54 + 9 * 111, ""},
      {"small.dwi --compat -o b.vmd", "b.vmd", kSmallSize + 16, ""},
      {"small.dwi --player 2 -o c.vmd", "c.vmd", kSmallSize, "not a COUPLE chart"},
      {"three.dwi --chart 3 --player 2 -o d.vmd", "d.vmd", 0, ""},
  };
  Write("small.dwi", kSmall);
  Write("three.dwi", kThreeCharts);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CliRun result = Convert(dir_, c.arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find(c.errContains), std::string::npos) << result.err;
    if (c.size != 0) {
      EXPECT_EQ(SizeOf(c.output), c.size);
    }
  }
  // The COUPLE chart's second player dances on the right-hand pad.
  EXPECT_EQ(Convert(dir_, "three.dwi --chart 3 -o e.vmd").status, 0);
  EXPECT_NE(ReadFileBytes(dir_ / "d.vmd"), ReadFileBytes(dir_ / "e.vmd"));
}

TEST_F(ConvertCommand, AllChartsGetTheirOwnFiles) {
  Write("three.dwi", kThreeCharts);
  const CliRun result = Convert(dir_, "--all three.dwi -o motions/new");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(FilesIn("motions/new"),
            (std::vector<std::string>{"three_COUPLE_MANIAC_1P.vmd", "three_COUPLE_MANIAC_2P.vmd",
                                      "three_DOUBLE_ANOTHER.vmd", "three_SINGLE_BASIC.vmd"}));
}

TEST_F(ConvertCommand, UnsafeAndRepeatedChartNamesStayApart) {
  Write("odd.dwi", "#BPM:120;\n#SINGLE:a/b:1:2;\n#SINGLE:A/B:1:8;\n#SINGLE:..\\x:1:4;\n");
  const CliRun result = Convert(dir_, "--all odd.dwi");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(FilesIn(""), (std::vector<std::string>{"odd.dwi", "odd_SINGLE_.._X.vmd",
                                                   "odd_SINGLE_A_B-2.vmd", "odd_SINGLE_A_B.vmd"}));
}

TEST_F(ConvertCommand, ABadFileIsReportedAndSkipped) {
  Write("small.dwi", kSmall);
  Write("three.dwi", kThreeCharts);
  const CliRun result = Convert(dir_, "small.dwi missing.dwi three.dwi -o out");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("missing.dwi: No such file or directory"), std::string::npos)
      << result.err;
  EXPECT_EQ(FilesIn("out"), (std::vector<std::string>{"small.vmd", "three.vmd"}));
}

TEST_F(ConvertCommand, FailuresExitWithOne) {
  Write("small.dwi", kSmall);
  Write("small.vmd", "keep");
  struct Case {
    const char* arguments;
    const char* errContains;
  };
  const Case cases[] = {
      {"small.dwi --chart 2", "small.dwi: --chart needs a number from 1 to 1; there is no chart 2"},
      {"small.dwi -o no/such/folder/x.vmd",
       "no/such/folder/x.vmd: cannot write here: the folder no/such/folder does not exist"},
      {"small.dwi small.dwi -o small.vmd", "small.vmd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CliRun result = Convert(dir_, c.arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(c.errContains), std::string::npos) << result.err;
  }
  EXPECT_EQ(ReadFileBytes(dir_ / "small.vmd"), "keep");
}

TEST_F(ConvertCommand, ReadingProblemsDoNotFail) {
  Write("bad.dwi", "#BPM:120;\n#SINGLE:BASIC:1:2x;\n");
  const CliRun result = Convert(dir_, "bad.dwi");
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.err.find("bad.dwi: line 2: "), std::string::npos) << result.err;
  EXPECT_TRUE(fs::exists(dir_ / "bad.vmd"));
}

TEST_F(ConvertCommand, UsageErrorsExitWithTwo) {
  Write("small.dwi", kSmall);
  for (const char* arguments :
       {"", "small.dwi --chart 0", "small.dwi --player 3", "small.dwi --all --chart 2",
        "small.dwi --all --player 2", "small.dwi --bogus"}) {
    SCOPED_TRACE(arguments);
    EXPECT_EQ(Convert(dir_, arguments).status, 2);
  }
  EXPECT_FALSE(fs::exists(dir_ / "small.vmd"));
}

}  // namespace
}  // namespace pavaneflow::test
