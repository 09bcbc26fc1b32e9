#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "support/model_bytes.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

std::string Text(const std::vector<std::uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

class ModelOption : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTestFolder("pavaneflow-model");
    WriteFileBytes(dir_ / "stream.dwi",
                   "#TITLE:Stream;\n#BPM:150;\n#SINGLE:BASIC:1:4826482648264826B000A;\n");
    PmxFile standard;
    standard.bones = StandardBones();
    WriteFileBytes(dir_ / "standard.pmx", Text(PmxBytes(standard)));
    PmxFile chibi;
    chibi.name = "ちび";
    chibi.bones = StandardBones(0.9f, 0.75f, 0.6f);
    WriteFileBytes(dir_ / "chibi.pmx", Text(PmxBytes(chibi)));
    WriteFileBytes(dir_ / "tall.vrm", Text(GlbBytes(VrmJson(1, "Tall", 1.25))));
    PmxFile legless = standard;
    for (PmxBone& bone : legless.bones) {
      if (bone.name == "右足首" || bone.name == "右足ＩＫ") bone.name += "X";
    }
    WriteFileBytes(dir_ / "legless.pmx", Text(PmxBytes(legless)));
    const std::string bytes = Text(PmxBytes(standard));
    WriteFileBytes(dir_ / "cut.pmx", bytes.substr(0, bytes.size() / 2));
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
};

TEST_F(ModelOption, WorksOnlyWithTheNaturalMotion) {
  const std::vector<std::vector<std::string>> calls = {
      {"convert", "stream.dwi", "--model", "standard.pmx"},
      {"convert", "stream.dwi", "--motion", "classic", "--model", "standard.pmx"},
      {"body", "stream.dwi", "--model", "chibi.pmx"},
      {"body", "stream.dwi", "--model", "chibi.pmx", "--motion", "classic"},
  };
  for (const auto& call : calls) {
    const CliRun run = RunCli(dir_, call);
    EXPECT_EQ(run.status, 2) << run.Describe();
    EXPECT_EQ(run.err,
              "pavaneflow-cli: --model works with the natural motion: add --motion natural\n");
    EXPECT_FALSE(fs::exists(dir_ / "stream.vmd"));
  }
}

TEST_F(ModelOption, ConvertFitsTheDanceAndPrintsTheScale) {
  struct Case {
    const char* model;
    const char* line;
  };
  const Case cases[] = {
      {"standard.pmx", ", fitted to 踊りテスト人形 (scale 1.000)\n"},
      {"chibi.pmx", ", fitted to ちび (scale 0.450)\n"},
      {"tall.vrm", ", fitted to Tall (scale 1.250)\n"},
  };
  const CliRun plain =
      RunCli(dir_, {"convert", "stream.dwi", "--motion", "natural", "-o", "plain.vmd"});
  ASSERT_EQ(plain.status, 0) << plain.Describe();
  EXPECT_EQ(plain.out.find("fitted"), std::string::npos);
  for (const Case& c : cases) {
    const CliRun run = RunCli(
        dir_, {"convert", "stream.dwi", "--motion", "natural", "--model", c.model, "-o", "m.vmd"});
    EXPECT_EQ(run.status, 0) << run.Describe();
    EXPECT_TRUE(run.out.ends_with(c.line)) << run.out;
  }
  // A small figure dances a dance of its own.
  EXPECT_NE(ReadFileBytes(dir_ / "m.vmd"), ReadFileBytes(dir_ / "plain.vmd"));
}

TEST_F(ModelOption, BodyMeasuresOnTheModelAndSaysSo) {
  const CliRun text =
      RunCli(dir_, {"body", "stream.dwi", "--motion", "natural", "--model", "chibi.pmx"});
  EXPECT_EQ(text.status, 0) << text.Describe();
  EXPECT_NE(text.out.find("natural (facing the viewer) motion, fitted to ちび (scale 0.450)\n"),
            std::string::npos)
      << text.out;
  const CliRun json =
      RunCli(dir_, {"body", "stream.dwi", "--motion", "natural", "--model", "tall.vrm", "--json"});
  EXPECT_EQ(json.status, 0) << json.Describe();
  EXPECT_EQ(json.out.rfind("{\"model\": \"Tall\", \"scale\": 1.25, \"chart\": 1", 0), 0u)
      << json.out;
}

TEST_F(ModelOption, AModelThatCannotBeReadIsNamedWithItsProblem) {
  struct Case {
    const char* model;
    const char* lang;
    const char* message;
  };
  const Case cases[] = {
      {"missing.pmx", "C.UTF-8", "missing.pmx: No such file or directory\n"},
      {"stream.dwi", "C.UTF-8", "stream.dwi: not a PMX or VRM model\n"},
      {"stream.dwi", "ja_JP.UTF-8", "stream.dwi: PMX や VRM のモデルではありません\n"},
      {"legless.pmx", "C.UTF-8",
       "legless.pmx: bones needed for dancing are missing: 右足首, 右足ＩＫ\n"},
      {"legless.pmx", "ja_JP.UTF-8",
       "legless.pmx: 踊りに必要なボーンがありません: 右足首, 右足ＩＫ\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    const CliRun run =
        RunCli(dir_, {"convert", "stream.dwi", "--motion", "natural", "--model", c.model},
               std::chrono::seconds(60), c.lang);
    EXPECT_EQ(run.status, 1) << run.Describe();
    EXPECT_EQ(run.err, c.message);
    EXPECT_TRUE(run.out.empty());
    EXPECT_FALSE(fs::exists(dir_ / "stream.vmd"));
  }
  const CliRun cut =
      RunCli(dir_, {"body", "stream.dwi", "--motion", "natural", "--model", "cut.pmx"});
  EXPECT_EQ(cut.status, 1) << cut.Describe();
  EXPECT_TRUE(cut.err.starts_with("cut.pmx: breaks off at byte ")) << cut.err;
}

}  // namespace
}  // namespace pavaneflow::test
