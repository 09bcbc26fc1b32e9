#include "export/vrma_writer.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "export/gltf.h"
#include "export/right_handed.h"
#include "export/sink_stream.h"

namespace pavaneflow {
namespace {

constexpr double kFramesPerSecond = 30.0;
// Room for the header and the JSON, which describes the bones and never the frames.
constexpr std::uint64_t kJsonRoom = 1 << 16;
static_assert(HumanoidBaker::kMostFrames * std::uint64_t{4 + 12 + 16 * kHumanoidBoneCount} +
                      kJsonRoom <
                  std::uint64_t{1} << 32,
              "a binary glTF counts its bytes in 32 bits");

// The nodes of the bones that are there, hips first, each after its parent.
struct Nodes {
  std::vector<HumanoidBone> bones;
  std::array<int, kHumanoidBoneCount> index{};
};

Nodes NodesOf(const HumanoidRest& rest) {
  Nodes nodes;
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    const auto bone = static_cast<HumanoidBone>(i);
    nodes.index[i] = -1;
    if (!rest.Has(bone)) continue;
    nodes.index[i] = static_cast<int>(nodes.bones.size());
    nodes.bones.push_back(bone);
  }
  return nodes;
}

// The frames' numbers as they go into the buffer, one floating-point array after another.
class Columns {
 public:
  explicit Columns(std::vector<unsigned char>& data) : data_(data) {}

  // Room for `count` values of `width` floats; returns its offset in bytes.
  std::size_t Add(std::size_t count, std::size_t width) {
    const std::size_t offset = data_.size();
    data_.resize(offset + count * width * sizeof(float));
    return offset;
  }
  void Put(std::size_t offset, std::size_t index, std::initializer_list<double> values) {
    float out[4];
    std::size_t n = 0;
    for (const double v : values) out[n++] = static_cast<float>(v);
    std::memcpy(data_.data() + offset + index * n * sizeof(float), out, n * sizeof(float));
  }

 private:
  std::vector<unsigned char>& data_;
};

int AddAccessor(tinygltf::Model& model, std::size_t offset, std::size_t count, int type,
                std::size_t width) {
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = offset;
  view.byteLength = count * width * sizeof(float);
  model.bufferViews.push_back(view);
  tinygltf::Accessor accessor;
  accessor.bufferView = static_cast<int>(model.bufferViews.size() - 1);
  accessor.byteOffset = 0;
  accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
  accessor.count = count;
  accessor.type = type;
  model.accessors.push_back(accessor);
  return static_cast<int>(model.accessors.size() - 1);
}

void AddChannel(tinygltf::Animation& animation, int input, int output, int node, const char* path) {
  tinygltf::AnimationSampler sampler;
  sampler.input = input;
  sampler.output = output;
  sampler.interpolation = "LINEAR";
  animation.samplers.push_back(sampler);
  tinygltf::AnimationChannel channel;
  channel.sampler = static_cast<int>(animation.samplers.size() - 1);
  channel.target_node = node;
  channel.target_path = path;
  animation.channels.push_back(channel);
}

}  // namespace

void WriteVrma(const HumanoidBaker& baker, DurableFile& file) {
  const HumanoidRest& rest = baker.Rest();
  const Nodes nodes = NodesOf(rest);
  const auto frames = static_cast<std::size_t>(baker.FrameCount());

  tinygltf::Model model;
  model.asset.version = "2.0";
  model.asset.generator = "Pavaneflow";
  for (const HumanoidBone bone : nodes.bones) {
    tinygltf::Node node;
    node.name = std::string(kHumanoidBoneNames[static_cast<std::size_t>(bone)]);
    const Vec3 offset = ExportPoint(rest.Offset(bone), kMetresPerUnit);
    node.translation = {offset.x, offset.y, offset.z};
    model.nodes.push_back(node);
  }
  for (std::size_t i = 1; i < nodes.bones.size(); ++i) {
    const HumanoidBone parent = rest.Parent(nodes.bones[i]);
    model.nodes[static_cast<std::size_t>(nodes.index[static_cast<std::size_t>(parent)])]
        .children.push_back(static_cast<int>(i));
  }
  tinygltf::Scene scene;
  scene.nodes = {0};
  model.scenes.push_back(scene);
  model.defaultScene = 0;

  model.buffers.emplace_back();
  std::vector<unsigned char>& data = model.buffers[0].data;
  data.reserve(frames * (4 + 12 + 16 * nodes.bones.size()));
  Columns columns(data);
  const std::size_t times = columns.Add(frames, 1);
  const std::size_t hips = columns.Add(frames, 3);
  std::vector<std::size_t> turns;
  for (std::size_t i = 0; i < nodes.bones.size(); ++i) turns.push_back(columns.Add(frames, 4));

  std::vector<Quaternion> previous(nodes.bones.size(), Quaternion{0.0, 0.0, 0.0, 1.0});
  for (std::size_t f = 0; f < frames; ++f) {
    const HumanoidPose pose = baker.Pose(static_cast<std::int32_t>(f));
    columns.Put(times, f, {static_cast<double>(f) / kFramesPerSecond});
    const Vec3 at = ExportPoint(pose.hips, kMetresPerUnit);
    columns.Put(hips, f, {at.x, at.y, at.z});
    for (std::size_t i = 0; i < nodes.bones.size(); ++i) {
      Quaternion q = ExportRotation(pose.Turn(nodes.bones[i]));
      // q and −q are one rotation: keep each next to the one before, so that nothing between
      // two frames takes the long way round.
      const Quaternion& p = previous[i];
      if (q[0] * p[0] + q[1] * p[1] + q[2] * p[2] + q[3] * p[3] < 0.0) {
        for (double& v : q) v = -v;
      }
      previous[i] = q;
      columns.Put(turns[i], f, {q[0], q[1], q[2], q[3]});
    }
  }

  const int input = AddAccessor(model, times, frames, TINYGLTF_TYPE_SCALAR, 1);
  // A player finds the clip's length in the times' bounds, which must be the stored numbers.
  model.accessors.back().minValues = {0.0};
  model.accessors.back().maxValues = {
      static_cast<double>(static_cast<float>(static_cast<double>(frames - 1) / kFramesPerSecond))};
  tinygltf::Animation animation;
  animation.name = "dance";
  AddChannel(animation, input, AddAccessor(model, hips, frames, TINYGLTF_TYPE_VEC3, 3), 0,
             "translation");
  for (std::size_t i = 0; i < nodes.bones.size(); ++i) {
    AddChannel(animation, input, AddAccessor(model, turns[i], frames, TINYGLTF_TYPE_VEC4, 4),
               static_cast<int>(i), "rotation");
  }
  model.animations.push_back(animation);

  tinygltf::Value::Object humanBones;
  for (std::size_t i = 0; i < nodes.bones.size(); ++i) {
    tinygltf::Value::Object bone;
    bone["node"] = tinygltf::Value(static_cast<int>(i));
    humanBones[std::string(kHumanoidBoneNames[static_cast<std::size_t>(nodes.bones[i])])] =
        tinygltf::Value(bone);
  }
  tinygltf::Value::Object humanoid;
  humanoid["humanBones"] = tinygltf::Value(humanBones);
  tinygltf::Value::Object extension;
  extension["specVersion"] = tinygltf::Value(std::string("1.0"));
  extension["humanoid"] = tinygltf::Value(humanoid);
  model.extensionsUsed = {"VRMC_vrm_animation"};
  model.extensions["VRMC_vrm_animation"] = tinygltf::Value(extension);

  file.Reserve(data.size() + kJsonRoom);
  SinkStream out(file);
  tinygltf::TinyGLTF gltf;
  gltf.WriteGltfSceneToStream(&model, out.Stream(), false, true);
  out.Check();
  file.Commit();
}

}  // namespace pavaneflow
