#include "model/model_file.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "base/file_error.h"
#include "model/model_error.h"
#include "model/pmx_skeleton.h"
#include "support/model_bytes.h"

namespace pavaneflow {
namespace {

using test::PmxBytes;
using test::PmxFile;
using test::StandardBones;

class ModelFile : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("pavaneflow-model-" + std::to_string(::getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path path = folder_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::filesystem::path folder_;
};

PmxFile Standard() {
  PmxFile file;
  file.bones = StandardBones();
  return file;
}

ModelProblem ProblemOf(const std::vector<std::uint8_t>& bytes) {
  try {
    ReadModel(bytes, "m.pmx");
  } catch (const ModelError& e) {
    return e.problem();
  }
  ADD_FAILURE() << "read";
  return ModelProblem::kNotAModel;
}

TEST_F(ModelFile, ReadsPmxAndVrmFilesWhateverTheirNames) {
  const CharacterModel pmx = ReadModelFile(Write("figure.vrm", PmxBytes(Standard())));
  EXPECT_EQ(pmx.skeleton.name, "踊りテスト人形");
  ASSERT_TRUE(pmx.centre.has_value());
  EXPECT_FLOAT_EQ(static_cast<float>(pmx.centre->y), 8.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(pmx.skeleton.Joint(HumanoidBone::kHips).y), 11.5f);
  EXPECT_FLOAT_EQ(static_cast<float>(pmx.skeleton.Joint(HumanoidBone::kRightLowerLeg).z), -0.15f);

  const CharacterModel vrm =
      ReadModelFile(Write("figure.pmx", test::GlbBytes(test::VrmJson(1, "V"))));
  EXPECT_EQ(vrm.skeleton.name, "V");
  EXPECT_NEAR(vrm.skeleton.Joint(HumanoidBone::kLeftFoot).y, 1.3, 1e-9);
}

TEST_F(ModelFile, APmxModelLackingBonesIsRefusedNamingThem) {
  PmxFile file = Standard();
  file.bones[static_cast<std::size_t>(test::BoneIndex(file.bones, "右ひざ"))].name = "右膝";
  file.bones[static_cast<std::size_t>(test::BoneIndex(file.bones, "左足ＩＫ"))].name = "左IK";
  file.bones[static_cast<std::size_t>(test::BoneIndex(file.bones, "センター"))].name = "center";
  try {
    ReadModel(PmxBytes(file), "m.pmx");
    ADD_FAILURE() << "read";
  } catch (const ModelError& e) {
    EXPECT_EQ(e.problem(), ModelProblem::kMissingBones);
    EXPECT_EQ(e.name(), "センター, 右ひざ, 左足ＩＫ");
    EXPECT_STREQ(e.what(),
                 "m.pmx: bones needed for dancing are missing: センター, 右ひざ, 左足ＩＫ");
  }
}

TEST_F(ModelFile, OptionalBonesMayBeMissingAndFootIkMayBeSpelledHalfWidth) {
  PmxFile file = Standard();
  for (PmxBone& bone : file.bones) {
    if (bone.name == "左足ＩＫ") bone.name = "左足IK";
    if (bone.name == "下半身") bone.name = "腰";
    if (bone.name == "首" || bone.name == "左肩") bone.name += "X";
  }
  file.name.clear();
  const CharacterModel model = ReadModel(PmxBytes(file), "models/人形.pmx");
  EXPECT_EQ(model.skeleton.name, "dance test figure");
  EXPECT_FALSE(model.skeleton.Has(HumanoidBone::kNeck));
  EXPECT_FALSE(model.skeleton.Has(HumanoidBone::kLeftShoulder));
  EXPECT_TRUE(model.skeleton.Has(HumanoidBone::kHips));  // between the hip joints
  EXPECT_FLOAT_EQ(static_cast<float>(model.skeleton.Joint(HumanoidBone::kHips).y), 10.5f);
  file.englishName.clear();
  EXPECT_EQ(ReadModel(PmxBytes(file), "models/人形.pmx").skeleton.name, "人形");
}

TEST_F(ModelFile, LegsThatCannotDanceAreRefused) {
  struct Case {
    const char* what;
    float kneeY;
    float scale;
  };
  const Case cases[] = {{"knee below the ankle", 0.5f, 1.0f},
                        {"knee above the hip", 12.0f, 1.0f},
                        {"a figure of 4 mm", 5.8f, 0.002f},
                        {"a figure of 3 km", 5.8f, 200.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PmxFile file = Standard();
    file.bones[static_cast<std::size_t>(test::BoneIndex(file.bones, "左ひざ"))].position[1] =
        c.kneeY;
    for (PmxBone& bone : file.bones) {
      for (float& v : bone.position) v *= c.scale;
    }
    EXPECT_EQ(ProblemOf(PmxBytes(file)), ModelProblem::kImpossibleLegs);
  }
  EXPECT_NO_THROW(ReadModel(PmxBytes(Standard()), "m.pmx"));
}

TEST_F(ModelFile, FilesThatAreNoModelsAreRefused) {
  EXPECT_EQ(ProblemOf({}), ModelProblem::kNotAModel);
  EXPECT_EQ(ProblemOf({'P', 'm', 'd'}), ModelProblem::kNotAModel);
  EXPECT_EQ(ProblemOf({'#', 'D', 'W', 'I', 0}), ModelProblem::kNotAModel);
  EXPECT_THROW(ReadModelFile(folder_ / "missing.pmx"), FileError);
  EXPECT_THROW(ReadModelFile(folder_), FileError);
}

TEST_F(ModelFile, APmxFileOfTwoHundredMegabytesIsRefusedUnread) {
  const std::filesystem::path path = Write("huge.pmx", PmxBytes(Standard()));
  std::filesystem::resize_file(path, 200'000'000);  // sparse: no disk is used
  try {
    ReadModelFile(path);
    ADD_FAILURE() << "read";
  } catch (const ModelError& e) {
    EXPECT_EQ(e.problem(), ModelProblem::kTooLarge);
    EXPECT_EQ(e.value(), "200000000");
    EXPECT_EQ(e.file(), path.string());
  }
}

TEST_F(ModelFile, OfAVrmFileOnlyTheJsonIsNeeded) {
  // A binary chunk that claims to be huge, in a file that ends after the JSON: the file is
  // refused as cut short without anything of that size being read.
  std::vector<std::uint8_t> bytes = test::GlbBytes(test::VrmJson(1));
  bytes[11] = 0x40;  // declared length: 1 GiB and more
  EXPECT_THROW(ReadModelFile(Write("cut.vrm", bytes)), ModelError);
}

}  // namespace
}  // namespace pavaneflow
