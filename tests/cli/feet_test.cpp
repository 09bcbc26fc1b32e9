#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

class FeetCommand : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTestFolder("pavaneflow-feet");
    // A trill of down and right, and a COUPLE chart whose 2P steps only left.
    WriteFileBytes(dir_ / "trill.dwi",
                   "#TITLE:Trill;\n#BPM:150;\n#SINGLE:BASIC:1:26262626;\n"
                   "#COUPLE:MANIAC:5:2626:4444;\n");
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
};

TEST_F(FeetCommand, PrintsTheFiguresOfEachFooting) {
  struct Case {
    std::vector<std::string> arguments;
    std::string expected;
  };
  const Case cases[] = {
      {{"feet", "trill.dwi"},
       "chart 1 (SINGLE BASIC, SINGLE, 1P), classic feet\n"
       "  step rows: 8\n"
       "  crossed rows: 7 (87.50 per 100 step rows)\n"
       "  longest crossed run: 7 rows\n"
       "  crossovers: 1 (12.50 per 100 step rows), full 1, half 0\n"
       "  unforced double steps: 0 (0.00 per 100 step rows), short 0 (0.00 per 100 step rows)\n"
       "  forced double steps: 0 (0.00 per 100 step rows), short 0\n"
       "  fast jacks: 0 (0.00 per 100 step rows)\n"
       "  footswitches: 0 (0.00 per 100 step rows)\n"
       "  dropped notes: 0\n"},
      {{"feet", "trill.dwi", "--feet", "planned", "--json"},
       "{\"chart\": 1, \"name\": \"SINGLE BASIC\", \"mode\": \"SINGLE\", \"player\": 1, "
       "\"feet\": \"planned\", \"step_rows\": 8, \"crossed_rows\": 0, \"longest_crossed_run\": "
       "0, \"full_crossovers\": 0, \"half_crossovers\": 0, \"unforced_double_steps\": 0, "
       "\"short_unforced_double_steps\": 0, \"forced_double_steps\": 0, "
       "\"short_forced_double_steps\": 0, \"fast_jacks\": 0, \"footswitches\": 0, "
       "\"dropped_notes\": 0}\n"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(dir_, c.arguments);
    EXPECT_EQ(run.status, 0) << run.Describe();
    EXPECT_EQ(run.out, c.expected);
    EXPECT_EQ(run.err, "");
  }
}

TEST_F(FeetCommand, AllCountsBothPlayersOfACoupleChart) {
  const CliRun run = RunCli(dir_, {"feet", "trill.dwi", "--all", "--json"});
  ASSERT_EQ(run.status, 0) << run.Describe();
  EXPECT_EQ(run.out.front(), '[');
  EXPECT_NE(run.out.find("\"chart\": 2, \"name\": \"COUPLE MANIAC\", \"mode\": \"COUPLE\", "
                         "\"player\": 2"),
            std::string::npos)
      << run.out;
}

TEST_F(FeetCommand, RefusesWhatItCannotCount) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string errorPart;
  };
  const Case cases[] = {
      {{"feet", "trill.dwi", "--chart", "3"},
       1,
       "trill.dwi: --chart needs a number from 1 to 2; there is no chart 3"},
      {{"feet", "missing.dwi"}, 1, "missing.dwi"},
      {{"feet", "trill.dwi", "--feet", "sideways"}, 2, "--feet"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(dir_, c.arguments);
    EXPECT_EQ(run.status, c.status) << run.Describe();
    EXPECT_NE(run.err.find(c.errorPart), std::string::npos) << run.err;
  }
}

TEST_F(FeetCommand, ConvertWithPlannedFeetWritesAnotherDance) {
  const CliRun classic = RunCli(dir_, {"convert", "trill.dwi", "-o", "classic.vmd"});
  const CliRun explicitClassic =
      RunCli(dir_, {"convert", "trill.dwi", "--feet", "classic", "-o", "again.vmd"});
  const CliRun planned =
      RunCli(dir_, {"convert", "trill.dwi", "--feet", "planned", "-o", "planned.vmd"});
  ASSERT_EQ(classic.status, 0) << classic.Describe();
  ASSERT_EQ(explicitClassic.status, 0) << explicitClassic.Describe();
  ASSERT_EQ(planned.status, 0) << planned.Describe();
  EXPECT_EQ(ReadFileBytes(dir_ / "classic.vmd"), ReadFileBytes(dir_ / "again.vmd"));
  EXPECT_NE(ReadFileBytes(dir_ / "classic.vmd"), ReadFileBytes(dir_ / "planned.vmd"));
}

}  // namespace
}  // namespace pavaneflow::test
