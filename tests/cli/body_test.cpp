#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

class BodyCommand : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTestFolder("pavaneflow-body");
    WriteFileBytes(dir_ / "stream.dwi",
                   "#TITLE:Stream;\n#BPM:150;\n#SINGLE:BASIC:1:4826482648264826B000A;\n"
                   "#COUPLE:MANIAC:5:2626:4444;\n");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The figures of `arguments` as JSON, without the chart's own fields.
  std::string Figures(const std::vector<std::string>& arguments) {
    const CliRun run = RunCli(dir_, arguments);
    EXPECT_EQ(run.status, 0) << run.Describe();
    const auto from = run.out.find("\"frames\"");
    return from == std::string::npos ? run.out : run.out.substr(from);
  }

  fs::path dir_;
};

TEST_F(BodyCommand, NamesEachFigureAndTheMotion) {
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> parts;
  };
  const Case cases[] = {
      {{"body", "stream.dwi"},
       {"chart 1 (SINGLE BASIC, SINGLE, 1P), classic motion\n", "  frames: ",
        "  planted feet off their target by more than 0.1: ", "  landing speed, 95th percentile: ",
        "  largest planted foot slide: ", "  straight knees in the air (bent less than 10°): ",
        "  longest time with the centre above rest: ",
        "  hips turned more than 90° from the viewer: ", "  largest turn between two frames: ",
        "  head's turn from the viewer, 95th percentile: 180.0°",
        "  least arm swing in 2 s with steps: left 0.0°, right 0.0°\n"}},
      {{"body", "stream.dwi", "--motion", "natural"},
       {"natural (facing the viewer) motion\n",
        "hips turned more than 90° from the viewer: 0.00 % of frames (from the screen: 100.00 %)"}},
      {{"body", "stream.dwi", "--motion", "natural", "--facing", "screen"},
       {"natural (facing the screen) motion\n", "(from the screen: 0.00 %)"}},
      {{"body", "stream.dwi", "--all", "--json"},
       {"[{\"chart\": 1, \"name\": \"SINGLE BASIC\"", "\"player\": 2",
        "\"landing_speed_p95\": ", "\"pfc\": ", "\"beat_align_score\": "}},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(dir_, c.arguments);
    EXPECT_EQ(run.status, 0) << run.Describe();
    for (const std::string& part : c.parts)
      EXPECT_NE(run.out.find(part), std::string::npos) << part << "\n" << run.out;
  }
}

TEST_F(BodyCommand, AWrittenNaturalDanceMeasuresAsTheChartDoes) {
  const CliRun convert =
      RunCli(dir_, {"convert", "stream.dwi", "--motion", "natural", "-o", "natural.vmd"});
  ASSERT_EQ(convert.status, 0) << convert.Describe();
  // The four empty section counts close the file, with or without --compat.
  const std::string bytes = ReadFileBytes(dir_ / "natural.vmd");
  ASSERT_GT(bytes.size(), 16u);
  EXPECT_EQ(bytes.substr(bytes.size() - 16), std::string(16, '\0'));
  EXPECT_EQ((bytes.size() - 54 - 16) % 111, 0u);
  // A motion file has no music: the chart's figures differ only by the bounce and the beat align
  // score on its beats.
  std::string chart = Figures({"body", "stream.dwi", "--motion", "natural", "--json"});
  const auto bounce = chart.find(", \"bounce\": ");
  ASSERT_NE(bounce, std::string::npos) << chart;
  chart.erase(bounce, chart.find('}', bounce) - bounce);
  EXPECT_EQ(Figures({"body", "natural.vmd", "--json"}), chart);
}

TEST_F(BodyCommand, WritesTheBeatFrames) {
  const CliRun one = RunCli(dir_, {"body", "stream.dwi", "--beats", "beats.json"});
  ASSERT_EQ(one.status, 0) << one.Describe();
  // 150 beats a minute: a beat every 12 frames (each truncated to its frame as the steps are),
  // from the chart's start to the beat after its last step, ten beats in.
  EXPECT_EQ(ReadFileBytes(dir_ / "beats.json"),
            "[0, 12, 24, 36, 48, 60, 72, 83, 96, 107, 120, 132]\n");
  const CliRun all = RunCli(dir_, {"body", "stream.dwi", "--all", "--beats", "all.json"});
  ASSERT_EQ(all.status, 0) << all.Describe();
  EXPECT_EQ(ReadFileBytes(dir_ / "all.json").substr(0, 2), "[[");
  EXPECT_NE(all.out.find("centre on the beat less between beats"), std::string::npos);
  EXPECT_NE(all.out.find("beat align score: "), std::string::npos);
  const CliRun motion = RunCli(dir_, {"body", "missing.vmd", "--beats", "none.json"});
  EXPECT_EQ(motion.status, 1);
  EXPECT_NE(motion.err.find("--beats needs a chart file"), std::string::npos) << motion.err;
  EXPECT_FALSE(fs::exists(dir_ / "none.json"));
}

TEST_F(BodyCommand, RefusesWhatItCannotMeasure) {
  WriteFileBytes(dir_ / "broken.vmd", "Vocaloid Motion Data 0002");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string errorPart;
  };
  const Case cases[] = {
      {{"body", "stream.dwi", "--chart", "3"}, 1, "there is no chart 3"},
      {{"body", "missing.vmd"}, 1, "missing.vmd"},
      {{"body", "broken.vmd"}, 1, "broken.vmd"},
      {{"body", "stream.dwi", "--motion", "graceful"}, 2, "--motion"},
      {{"body", "stream.dwi", "--facing", "screen"}, 2, "--motion"},
      {{"convert", "stream.dwi", "--facing", "viewer"}, 2, "--motion"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(dir_, c.arguments);
    EXPECT_EQ(run.status, c.status) << run.Describe();
    EXPECT_NE(run.err.find(c.errorPart), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace pavaneflow::test
