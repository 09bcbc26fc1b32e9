// convert --format and the output names that choose a format.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "support/model_bytes.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSmall = "#TITLE:Small;\n#BPM:120;\n#GAP:0;\n#SINGLE:BASIC:1:2486;\n";
constexpr const char* kTwoCharts =
    "#TITLE:Two;\n#BPM:150;\n#SINGLE:BASIC:1:2468;\n#COUPLE:MANIAC:5:2200:0088;\n";

class ExportFormat : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTestFolder("pavaneflow-export");
    WriteFileBytes(dir_ / "small.dwi", kSmall);
    WriteFileBytes(dir_ / "two.dwi", kTwoCharts);
  }
  void TearDown() override { fs::remove_all(dir_); }

  CliRun Convert(const std::string& arguments) {
    std::vector<std::string> words{"convert"};
    std::istringstream in(arguments);
    for (std::string word; in >> word;) words.push_back(word);
    return RunCli(dir_, words);
  }
  // What kind of file `name` is, by its first bytes.
  std::string KindOf(const fs::path& name) const {
    if (!fs::exists(dir_ / name)) return "missing";
    const std::string bytes = ReadFileBytes(dir_ / name);
    if (bytes.starts_with("Vocaloid Motion Data 0002")) return "vmd";
    if (bytes.starts_with("glTF")) return "vrma";
    if (bytes.starts_with("HIERARCHY\nROOT Hips\n")) return "bvh";
    return "other";
  }

  fs::path dir_;
};

TEST_F(ExportFormat, FormatComesFromTheOptionElseFromTheOutputName) {
  struct Case {
    const char* arguments;
    const char* written;
    const char* kind;
  };
  const Case cases[] = {
      {"small.dwi", "small.vmd", "vmd"},
      {"small.dwi --format vrma", "small.vrma", "vrma"},
      {"small.dwi --format BVH --motion natural", "small.bvh", "bvh"},
      {"small.dwi -o dance.vrma", "dance.vrma", "vrma"},
      {"small.dwi -o Dance.BVH", "Dance.BVH", "bvh"},
      {"small.dwi -o dance.motion", "dance.motion", "vmd"},
      {"small.dwi --format vmd -o plain.vrma", "plain.vrma", "vmd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CliRun result = Convert(c.arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(KindOf(c.written), c.kind);
    EXPECT_NE(result.out.find(c.written), std::string::npos) << result.out;
  }
}

TEST_F(ExportFormat, EveryChartTakesTheFormatsExtension) {
  const CliRun result = Convert("--all --format vrma -o motions two.dwi two.dwi");
  EXPECT_EQ(result.status, 0) << result.err;
  for (const char* name : {"two_SINGLE_BASIC.vrma", "two_COUPLE_MANIAC_1P.vrma",
                           "two_COUPLE_MANIAC_2P.vrma", "two_SINGLE_BASIC-2.vrma"}) {
    EXPECT_EQ(KindOf(fs::path("motions") / name), "vrma") << name;
  }
}

TEST_F(ExportFormat, MistakesAndFailuresAreToldAndLeaveNoFile) {
  const CliRun unknown = Convert("small.dwi --format fbx");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "pavaneflow-cli: --format takes vmd, vrma or bvh, not 'fbx'\n");

  const CliRun missing = Convert("small.dwi -o no/such/folder/dance.bvh");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no/such/folder/dance.bvh"), std::string::npos) << missing.err;
  EXPECT_EQ(KindOf("no"), "missing");
}

// The JSON of the binary glTF at `path`: the chunk after the 12-byte header and its own 8 bytes.
nlohmann::json GltfJson(const fs::path& path) {
  const std::string bytes = ReadFileBytes(path);
  std::uint32_t length = 0;
  std::memcpy(&length, bytes.data() + 12, sizeof length);
  return nlohmann::json::parse(bytes.substr(20, length));
}

// The translation of the node that VRM Animation's humanoid maps `bone` to, in metres.
std::vector<double> RestTranslation(const nlohmann::json& gltf, const char* bone) {
  const int node = gltf["extensions"]["VRMC_vrm_animation"]["humanoid"]["humanBones"][bone]["node"];
  return gltf["nodes"][node]["translation"].get<std::vector<double>>();
}

TEST_F(ExportFormat, AModelsDanceIsWrittenForTheModelsOwnSkeleton) {
  const std::vector<std::uint8_t> vrm = GlbBytes(VrmJson(1, "Short", 0.75));
  WriteFileBytes(dir_ / "short.vrm", std::string(vrm.begin(), vrm.end()));
  const CliRun fitted = Convert("small.dwi --motion natural --model short.vrm -o short.vrma");
  ASSERT_EQ(fitted.status, 0) << fitted.err;
  const CliRun plain = Convert("small.dwi --motion natural -o plain.vrma");
  ASSERT_EQ(plain.status, 0) << plain.err;

  // The model's rest pose in metres (1 unit = 0.08 m), facing +z: its hips and its own hip joints.
  const nlohmann::json model = GltfJson(dir_ / "short.vrma");
  const nlohmann::json reference = GltfJson(dir_ / "plain.vrma");
  EXPECT_NEAR(RestTranslation(reference, "hips")[1], 0.90, 1e-6);
  const double legs = 0.75 * (10.5 - 1.3) + 1.3;
  EXPECT_NEAR(RestTranslation(model, "hips")[1], (legs + 0.75) * 0.08, 1e-6);
  EXPECT_NEAR(RestTranslation(model, "hips")[1] + RestTranslation(model, "leftUpperLeg")[1],
              legs * 0.08, 1e-6);
  EXPECT_NEAR(RestTranslation(model, "leftUpperLeg")[0], 0.072, 1e-6);
}

}  // namespace
}  // namespace pavaneflow::test
