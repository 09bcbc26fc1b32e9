#include "export/vrma_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "base/file_error.h"
#include "base/memory_file.h"
#include "dance_keys.h"
#include "export/gltf.h"
#include "export/reference_skeleton.h"
#include "export/right_handed.h"
#include "export/rotation_tools.h"
#include "humanoid_joints.h"

namespace pavaneflow {
namespace {

tinygltf::Model Written(HumanoidBaker& baker) {
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
  HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
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
// put it, in metres and mirrored in z. Every bone that turns is keyed on every frame; those that
// never do (chest, head, shoulders, hands, toes) hold the identity from the first frame to the
// last.
TEST(WriteVrma, KeysEveryFrameSoThatAPlayerPosesTheFigureAsBaked) {
  MotionDocument dance;
  AddSmallDance(dance);
  HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
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
    const std::string& name = model.nodes[static_cast<std::size_t>(channel.target_node)].name;
    const bool still = name == "chest" || name == "head" || name.ends_with("Shoulder") ||
                       name.ends_with("Hand") || name.ends_with("Toes");
    const tinygltf::Accessor& input = model.accessors[static_cast<std::size_t>(sampler.input)];
    EXPECT_EQ(input.count, still ? 2u : 13u) << name;
    EXPECT_EQ(input.maxValues, std::vector<double>{static_cast<double>(12.0f / 30.0f)}) << name;
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
      const tinygltf::AnimationSampler& s = sampler(*rotations.at(static_cast<int>(node)));
      const auto keys = model.accessors[static_cast<std::size_t>(s.output)].count;
      const std::vector<double> q =
          Values(model, s.output, keys == 2 ? static_cast<std::size_t>(frame) % 2 : frame, 4);
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

// A long dance is baked in blocks, several at once; the rotations still stand each on the side of
// the one before it, across the blocks' joins too, as one pass would have put them.
TEST(WriteVrma, JoinsTheBlocksOfALongDanceSeamlessly) {
  MotionDocument dance;
  // The hips turn round and round, 170° every 101 frames: their rotation keeps changing sides.
  for (std::int32_t k = 0; k <= 400; ++k) {
    AddKeys(dance, std::array<DanceKey, 1>{{{kCentreBone, 101 * k, {}, Yaw(170.0 * k)}}});
  }
  HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
  ASSERT_EQ(baker.FrameCount(), 40'401);
  const tinygltf::Model model = Written(baker);
  const tinygltf::Animation& animation = model.animations.at(0);
  for (const tinygltf::AnimationChannel& channel : animation.channels) {
    if (channel.target_node != 0 || channel.target_path != "rotation") continue;
    const int output = animation.samplers[static_cast<std::size_t>(channel.sampler)].output;
    std::vector<double> before = Values(model, output, 0, 4);
    for (std::size_t f = 1; f < 40'401; ++f) {
      const std::vector<double> q = Values(model, output, f, 4);
      const double dot = q[0] * before[0] + q[1] * before[1] + q[2] * before[2] + q[3] * before[3];
      ASSERT_GT(dot, 0.0) << "frame " << f;
      before = q;
    }
    // Where a block begins (they are 16,384 frames long), the turn is the baked one.
    for (const std::int32_t f : {16'383, 16'384, 16'385, 32'767, 32'768}) {
      const Quaternion expected = ExportRotation(baker.Pose(f).Turn(HumanoidBone::kHips));
      const std::vector<double> q = Values(model, output, static_cast<std::size_t>(f), 4);
      const double dot =
          q[0] * expected[0] + q[1] * expected[1] + q[2] * expected[2] + q[3] * expected[3];
      EXPECT_NEAR(std::fabs(dot), 1.0, 1e-6) << "frame " << f;
    }
  }
}

// A file that fills up after `room` pieces written in place.
class FillingFile : public MemoryFile {
 public:
  explicit FillingFile(int room) : room_(room) {}
  void WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size) override {
    if (room_-- == 0) throw FileError::FromErrno("dance.vrma", ENOSPC);
    MemoryFile::WriteAt(offset, data, size);
  }

 private:
  int room_;
};

// The disk filling up in any block of a long dance, baked on several threads: the failure is
// told, nothing is committed and no thread is left waiting for a block that never comes.
TEST(WriteVrma, AFailureInAnyBlockIsToldAndCommitsNothing) {
  MotionDocument dance;
  AddKeys(dance, std::array<DanceKey, 2>{
                     {{kCentreBone, 0, {}, Yaw(0.0)}, {kCentreBone, 40'000, {}, Yaw(90.0)}}});
  // The still keys, then each of three blocks' columns.
  for (const int room : {0, 1, 5, 20, 40}) {
    HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
    FillingFile file(room);
    EXPECT_THROW(WriteVrma(baker, file), FileError) << room;
    EXPECT_TRUE(file.Bytes().empty()) << room;
  }
}

}  // namespace
}  // namespace pavaneflow
