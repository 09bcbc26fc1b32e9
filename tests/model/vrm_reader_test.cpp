#include "model/vrm_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "model/model_error.h"
#include "support/model_bytes.h"

namespace pavaneflow {
namespace {

using nlohmann::json;
using test::GlbBytes;
using test::VrmJson;

CharacterModel Read(const std::vector<std::uint8_t>& bytes) {
  return ReadVrm(bytes, bytes.size(), "figure.vrm");
}

void ExpectNear(const ModelPoint& point, double x, double y, double z) {
  EXPECT_NEAR(point.x, x, 1e-9);
  EXPECT_NEAR(point.y, y, 1e-9);
  EXPECT_NEAR(point.z, z, 1e-9);
}

TEST(VrmReader, BothVersionsGiveTheJointsInTheDancesUnitsAndAxes) {
  for (const int major : {1, 0}) {
    SCOPED_TRACE(major);
    const CharacterModel model = Read(GlbBytes(VrmJson(major, "ミク")));
    const HumanoidSkeleton& s = model.skeleton;
    EXPECT_EQ(s.name, "ミク");
    EXPECT_FALSE(model.centre.has_value());
    for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) EXPECT_TRUE(s.present[i]) << i;
    // Facing −z with the left side at +x, 1 unit = 0.08 m, whichever way the file faces.
    ExpectNear(s.Joint(HumanoidBone::kHips), 0.0, 11.25, 0.0);
    ExpectNear(s.Joint(HumanoidBone::kLeftUpperLeg), 0.9, 10.5, 0.0);
    ExpectNear(s.Joint(HumanoidBone::kRightUpperLeg), -0.9, 10.5, 0.0);
    ExpectNear(s.Joint(HumanoidBone::kLeftLowerLeg), 0.9, 5.8, -0.15);
    ExpectNear(s.Joint(HumanoidBone::kRightFoot), -0.9, 1.3, 0.0);
    ExpectNear(s.Joint(HumanoidBone::kLeftToes), 0.9, 0.15, -1.5);
    ExpectNear(s.Joint(HumanoidBone::kSpine), 0.0, 12.25, 0.0);
    ExpectNear(s.Joint(HumanoidBone::kLeftLowerArm), 4.7, 15.3, 0.0);
  }
}

TEST(VrmReader, AModelWithoutANameIsNamedAfterItsFile) {
  json root = json::parse(VrmJson(1));
  root["extensions"]["VRMC_vrm"]["meta"].erase("name");
  const std::vector<std::uint8_t> bytes = GlbBytes(root.dump());
  EXPECT_EQ(ReadVrm(bytes, bytes.size(), "dir/アバター.vrm").skeleton.name, "アバター");
}

struct Spoilt {
  const char* what;
  void (*spoil)(json& root);
  ModelProblem problem;
  const char* name;
};

json& Bones(json& root) {
  return root["extensions"]["VRMC_vrm"]["humanoid"]["humanBones"];
}

TEST(VrmReader, RefusesBrokenHumanoidsNamingTheProblem) {
  const Spoilt cases[] = {
      {"no extension", [](json& r) { r.erase("extensions"); }, ModelProblem::kNotVrm, ""},
      {"humanBones not an object", [](json& r) { Bones(r) = json::array(); }, ModelProblem::kNotVrm,
       ""},
      {"missing feet",
       [](json& r) {
         Bones(r).erase("leftFoot");
         Bones(r).erase("rightFoot");
       },
       ModelProblem::kMissingBones, "leftFoot, rightFoot"},
      {"bone on a missing node", [](json& r) { Bones(r)["hips"]["node"] = 99; },
       ModelProblem::kBadNodeTree, "99"},
      {"node index not a number", [](json& r) { Bones(r)["hips"]["node"] = "1"; },
       ModelProblem::kBadNodeTree, "?"},
      {"children in a loop", [](json& r) { r["nodes"][3]["children"].push_back(0); },
       ModelProblem::kBadNodeTree, "0"},
      {"a node with two parents", [](json& r) { r["nodes"][0]["children"].push_back(3); },
       ModelProblem::kBadNodeTree, "3"},
      {"child out of range", [](json& r) { r["nodes"][0]["children"].push_back(-4); },
       ModelProblem::kBadNodeTree, "-4"},
      {"translation of two numbers",
       [](json& r) {
         r["nodes"][14]["translation"] = {1.0, 2.0};
       },
       ModelProblem::kBadNodeTree, "14"},
      {"translation not numbers",
       [](json& r) {
         r["nodes"][14]["translation"] = {"a", 2.0, 3.0};
       },
       ModelProblem::kBadNodeTree, "14"},
      {"rotation of no length",
       [](json& r) {
         r["nodes"][0]["rotation"] = {0.0, 0.0, 0.0, 0.0};
       },
       ModelProblem::kBadNodeTree, "0"},
      {"a scale that overflows",
       [](json& r) {
         r["nodes"][0]["scale"] = {1e308, 1e308, 1e308};
       },
       ModelProblem::kNotFinite, "hips"},
  };
  for (const Spoilt& c : cases) {
    SCOPED_TRACE(c.what);
    json root = json::parse(VrmJson(1));
    c.spoil(root);
    try {
      Read(GlbBytes(root.dump()));
      ADD_FAILURE() << "read";
    } catch (const ModelError& e) {
      EXPECT_EQ(e.problem(), c.problem) << e.what();
      EXPECT_EQ(e.name(), c.name) << e.what();
      EXPECT_EQ(e.file(), "figure.vrm");
    }
  }
}

TEST(VrmReader, RefusesBrokenContainersNamingTheProblem) {
  const std::vector<std::uint8_t> good = GlbBytes(VrmJson(0));
  struct Case {
    const char* what;
    std::size_t at;  // the byte set to `value`
    std::uint8_t value;
    ModelProblem problem;
    std::int64_t offset;
  };
  const Case cases[] = {
      {"another magic", 0, 'G', ModelProblem::kNotAModel, -1},
      {"glTF 1", 4, 1, ModelProblem::kUnsupportedVersion, 4},
      {"first chunk not JSON", 16, 'X', ModelProblem::kImpossibleValue, 16},
      {"JSON longer than any model's", 15, 0x10, ModelProblem::kImpossibleValue, 12},
      {"declared length shorter than the JSON", 9, 0, ModelProblem::kImpossibleValue, 8},
      {"declared length beyond the file", 10, 0x10, ModelProblem::kTruncated, -2},
      {"JSON that is no JSON", 20, '[', ModelProblem::kBadJson, -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bytes = good;
    bytes[c.at] = c.value;
    if (c.at == 9) bytes[8] = 0;
    try {
      Read(bytes);
      ADD_FAILURE() << "read";
    } catch (const ModelError& e) {
      EXPECT_EQ(e.problem(), c.problem) << e.what();
      if (c.offset != -2) {
        EXPECT_EQ(e.offset(), c.offset) << e.what();
      }
    }
  }
  // Cut anywhere, the file is refused, never read wrong.
  for (std::size_t size = 0; size < good.size(); ++size) {
    const std::span<const std::uint8_t> cut(good.data(), size);
    EXPECT_THROW(ReadVrm(cut, size, "cut.vrm"), ModelError) << size;
  }
}

TEST(VrmReader, ManyNodesAreRefusedBeforeTheyAreKept) {
  std::string nodes;
  for (int i = 0; i < 70000; ++i) nodes += "{},";
  const std::string text = R"({"nodes": [)" + nodes + R"({}], "extensions": {}})";
  try {
    Read(GlbBytes(text));
    ADD_FAILURE() << "read";
  } catch (const ModelError& e) {
    EXPECT_EQ(e.problem(), ModelProblem::kTooManyNodes) << e.what();
  }
}

}  // namespace
}  // namespace pavaneflow
