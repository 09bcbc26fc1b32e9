#include "export/vrma_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "base/memory_file.h"
#include "dance_keys.h"
#include "export/gltf.h"
#include "export/reference_skeleton.h"
#include "export/right_handed.h"
#include "humanoid_joints.h"

namespace pavaneflow {
namespace {

tinygltf::Model Written(const HumanoidBaker& baker) {
  MemoryFile file;
  WriteVrma(baker, file);
  tinygltf::Model model;
  std::string error;
  std::string warning;
  tinygltf::TinyGLTF gltf;
  EXPECT_TRUE(gltf.LoadBinaryFromMemory(&model, &error, &warning, file.Bytes().data(),
                                        static_cast<unsigned>(file.Bytes().size())))
      << error;
  EXPECT_EQ(warning, "");
  return model;
}

// The `index`-th value of `accessor`, `width` floats.
std::vector<double> Values(const tinygltf::Model& model, int accessor, std::size_t index,
                           std::size_t width) {
  const tinygltf::Accessor& a = model.accessors[static_cast<std::size_t>(accessor)];
  const tinygltf::BufferView& view = model.bufferViews[static_cast<std::size_t>(a.bufferView)];
  const unsigned char* at =
      model.buffers[0].data.data() + view.byteOffset + a.byteOffset + index * width * sizeof(float);
  std::vector<double> values;
  for (std::size_t i = 0; i < width; ++i) {
    float v = 0.0f;
    std::memcpy(&v, at + i * sizeof(float), sizeof v);
    values.push_back(static_cast<double>(v));
  }
  return values;
}

TEST(WriteVrma, WritesAVrmAnimationOfTheHumanoidBonesInTheTPose) {
  MotionDocument dance;
  AddSmallDance(dance);
  const HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
  const tinygltf::Model model = Written(baker);

  EXPECT_EQ(model.asset.version, "2.0");
  EXPECT_EQ(model.extensionsUsed, std::vector<std::string>{"VRMC_vrm_animation"});
  const tinygltf::Value& extension = model.extensions.at("VRMC_vrm_animation");
  EXPECT_EQ(extension.Get("specVersion").Get<std::string>(), "1.0");
  const tinygltf::Value& bones = extension.Get("humanoid").Get("humanBones");
  ASSERT_EQ(bones.Keys().size(), kHumanoidBoneCount);
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    const std::string name(kHumanoidBoneNames[i]);
    const int node = bones.Get(name).Get("node").Get<int>();
    ASSERT_GE(node, 0);
    const tinygltf::Node& n = model.nodes[static_cast<std::size_t>(node)];
    EXPECT_EQ(n.name, name);
    // Identity rest rotations, no scale: a track's value is the bone's turn from the T-pose.
    EXPECT_TRUE(n.rotation.empty()) << name;
    EXPECT_TRUE(n.scale.empty()) << name;
  }
  const tinygltf::Node& hips = model.nodes[0];
  EXPECT_EQ(hips.name, "hips");
  EXPECT_EQ(model.scenes.at(0).nodes, std::vector<int>{0});
  // Metres, facing +z: the rest hips at the figure's hips height, its left leg at +x.
  EXPECT_NEAR(hips.translation.at(1), 0.90, 1e-12);
  const int leftLeg = bones.Get("leftUpperLeg").Get("node").Get<int>();
  const int leftToes = bones.Get("leftToes").Get("node").Get<int>();
  EXPECT_NEAR(model.nodes[static_cast<std::size_t>(leftLeg)].translation.at(0), 0.072, 1e-12);
  EXPECT_NEAR(model.nodes[static_cast<std::size_t>(leftToes)].translation.at(2), 0.12, 1e-12);
  EXPECT_NE(std::find(hips.children.begin(), hips.children.end(), leftLeg), hips.children.end());
}

// Played back by forward kinematics from the file alone, every joint stands where the baker
// put it, in metres and mirrored in z.
TEST(WriteVrma, KeysEveryFrameSoThatAPlayerPosesTheFigureAsBaked) {
  MotionDocument dance;
  AddSmallDance(dance);
  const HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
  const tinygltf::Model model = Written(baker);
  ASSERT_EQ(model.animations.size(), 1u);
  const tinygltf::Animation& animation = model.animations[0];
  ASSERT_EQ(animation.channels.size(), kHumanoidBoneCount + 1);

  std::map<int, const tinygltf::AnimationChannel*> rotations;
  const tinygltf::AnimationChannel* translation = nullptr;
  for (const tinygltf::AnimationChannel& channel : animation.channels) {
    const tinygltf::AnimationSampler& sampler =
        animation.samplers[static_cast<std::size_t>(channel.sampler)];
    EXPECT_EQ(sampler.interpolation, "LINEAR");
    EXPECT_EQ(model.accessors[static_cast<std::size_t>(sampler.input)].count, 13u);
    if (channel.target_path == "translation") {
      EXPECT_EQ(channel.target_node, 0);  // only the hips move
      translation = &channel;
    } else {
      rotations[channel.target_node] = &channel;
    }
  }
  ASSERT_NE(translation, nullptr);
  const auto sampler = [&](const tinygltf::AnimationChannel& c) {
    return animation.samplers[static_cast<std::size_t>(c.sampler)];
  };

  for (std::int32_t frame = 0; frame < baker.FrameCount(); ++frame) {
    SCOPED_TRACE(frame);
    const std::vector<double> time = Values(model, sampler(*translation).input, frame, 1);
    EXPECT_NEAR(time[0], frame / 30.0, 1e-6);
    const PosedFigure expected = Pose(baker.Rest(), baker.Pose(frame));
    // Forward kinematics through the file's nodes, parents before children.
    std::vector<Vec3> at(model.nodes.size());
    std::vector<Quaternion> turn(model.nodes.size(), Quaternion{0.0, 0.0, 0.0, 1.0});
    const std::vector<double> hips = Values(model, sampler(*translation).output, frame, 3);
    at[0] = {hips[0], hips[1], hips[2]};
    for (std::size_t node = 0; node < model.nodes.size(); ++node) {
      const std::vector<double> q =
          Values(model, sampler(*rotations.at(static_cast<int>(node))).output, frame, 4);
      turn[node] = Compose(turn[node], Quaternion{q[0], q[1], q[2], q[3]});
      for (const int child : model.nodes[node].children) {
        const std::vector<double>& t = model.nodes[static_cast<std::size_t>(child)].translation;
        at[static_cast<std::size_t>(child)] = at[node] + Rotate(turn[node], {t[0], t[1], t[2]});
        turn[static_cast<std::size_t>(child)] = turn[node];
      }
    }
    for (std::size_t node = 0; node < model.nodes.size(); ++node) {
      const std::size_t bone = [&] {
        for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
          if (kHumanoidBoneNames[i] == model.nodes[node].name) return i;
        }
        return kHumanoidBoneCount;
      }();
      ASSERT_LT(bone, kHumanoidBoneCount);
      const Vec3 want = ExportPoint(expected.joints[bone], kMetresPerUnit);
      EXPECT_NEAR(Distance(at[node], want), 0.0, 1e-6) << model.nodes[node].name;
    }
  }
}

}  // namespace
}  // namespace pavaneflow
