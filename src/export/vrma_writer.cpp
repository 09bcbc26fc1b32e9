#include "export/vrma_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "export/gltf.h"
#include "export/right_handed.h"

namespace pavaneflow {
namespace {

constexpr double kFramesPerSecond = 30.0;
// A dance shorter than this is baked on one thread: a few minutes take a fraction of a second.
constexpr std::size_t kFramesForTwoThreads = 30 * 60 * 10;
// Room for the header and the JSON, which describes the bones and never the frames.
constexpr std::uint64_t kJsonRoom = 1 << 16;
static_assert(HumanoidBaker::kMostFrames * std::uint64_t{4 + 12 + 16 * kHumanoidBoneCount} +
                      kJsonRoom <
                  std::uint64_t{1} << 32,
              "a binary glTF counts its bytes in 32 bits");

// The nodes of the bones that are there, hips first, each after its parent, and those of them
// that turn against their parents.
struct Nodes {
  std::vector<HumanoidBone> bones;
  std::array<int, kHumanoidBoneCount> index{};
  std::vector<HumanoidBone> turning;
};

Nodes NodesOf(const HumanoidBaker& baker) {
  Nodes nodes;
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    const auto bone = static_cast<HumanoidBone>(i);
    nodes.index[i] = -1;
    if (!baker.Rest().Has(bone)) continue;
    nodes.index[i] = static_cast<int>(nodes.bones.size());
    nodes.bones.push_back(bone);
    if (!baker.Still(bone)) nodes.turning.push_back(bone);
  }
  return nodes;
}

// The frames' numbers as the file's binary chunk holds them, one array of floats after another:
// the times, the hips' positions, each turning node's rotations, and last the keys of the nodes
// that never turn: the first and last frame's times and the identity rotation on both.
class FrameColumns {
 public:
  FrameColumns(std::size_t frames, std::size_t turning)
      : frames_(frames),
        stillKeys_(std::min<std::size_t>(frames, 2)),
        size_(frames * (1 + 3 + 4 * turning) + 5 * stillKeys_),
        floats_(new float[size_]) {
    for (std::size_t k = 0; k < stillKeys_; ++k) {
      Put(StillTimes(), k, {static_cast<double>(k * (frames - 1)) / kFramesPerSecond});
      Put(StillTurns(), k, {0.0, 0.0, 0.0, 1.0});
    }
  }

  // Where each column starts, in floats, and how many values it has.
  std::size_t Times() const { return 0; }
  std::size_t Hips() const { return frames_; }
  std::size_t Turns(std::size_t turning) const { return frames_ * (4 + 4 * turning); }
  std::size_t Frames() const { return frames_; }
  std::size_t StillTimes() const { return size_ - 5 * stillKeys_; }
  std::size_t StillTurns() const { return size_ - 4 * stillKeys_; }
  std::size_t StillKeys() const { return stillKeys_; }

  // Bakes frames `begin` to `end` (excluded) of the `turning` bones. Each rotation is put on the
  // same side as the one before it (q and −q are one rotation), so that nothing between two
  // frames takes the long way round; before `begin` stands the identity.
  void Bake(HumanoidBaker& baker, const std::vector<HumanoidBone>& turning, std::size_t begin,
            std::size_t end) {
    std::vector<Quaternion> previous(turning.size(), Quaternion{0.0, 0.0, 0.0, 1.0});
    for (std::size_t f = begin; f < end; ++f) {
      const HumanoidPose pose = baker.Pose(static_cast<std::int32_t>(f));
      Put(Times(), f, {static_cast<double>(f) / kFramesPerSecond});
      const Vec3 at = ExportPoint(pose.hips, kMetresPerUnit);
      Put(Hips(), f, {at.x, at.y, at.z});
      for (std::size_t i = 0; i < turning.size(); ++i) {
        Quaternion q = ExportRotation(pose.Turn(turning[i]));
        const Quaternion& p = previous[i];
        if (q[0] * p[0] + q[1] * p[1] + q[2] * p[2] + q[3] * p[3] < 0.0) {
          for (double& v : q) v = -v;
        }
        previous[i] = q;
        Put(Turns(i), f, {q[0], q[1], q[2], q[3]});
      }
    }
  }

  // Joins frames baked from `begin` on to those before: where a bone's first rotation there
  // stands on the other side of the one before it, all of its rotations from there on change
  // sides, which is what baking them in one go would have given.
  void Join(std::size_t begin, std::size_t turning) {
    for (std::size_t t = 0; t < turning; ++t) {
      float* q = floats_.get() + Turns(t);
      float dot = 0.0f;
      for (std::size_t i = 0; i < 4; ++i) dot += q[4 * (begin - 1) + i] * q[4 * begin + i];
      if (!(dot < 0.0f)) continue;
      for (std::size_t i = 4 * begin; i < 4 * frames_; ++i) q[i] = -q[i];
    }
  }

  const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(floats_.get()); }
  std::size_t ByteCount() const { return size_ * sizeof(float); }

 private:
  void Put(std::size_t column, std::size_t index, std::initializer_list<double> values) {
    float* out = floats_.get() + column + index * values.size();
    for (const double v : values) *out++ = static_cast<float>(v);
  }

  std::size_t frames_;
  std::size_t stillKeys_;  // 2, or 1 for a dance of one frame
  std::size_t size_;
  std::unique_ptr<float[]> floats_;  // every one written before the file is
};

// Bakes every frame into `columns`, the later half on a second thread where one can be had.
void BakeAll(HumanoidBaker& baker, const std::vector<HumanoidBone>& bones, std::size_t frames,
             FrameColumns& columns) {
  const std::size_t half = frames >= kFramesForTwoThreads ? frames / 2 : frames;
  HumanoidBaker second = baker;
  std::exception_ptr error;
  std::thread thread;
  if (half < frames) {
    try {
      thread = std::thread([&] {
        try {
          columns.Bake(second, bones, half, frames);
        } catch (...) {
          error = std::current_exception();
        }
      });
    } catch (const std::system_error&) {
      // No thread to be had: this one bakes everything.
    }
  }
  columns.Bake(baker, bones, 0, thread.joinable() ? half : frames);
  if (!thread.joinable()) return;
  thread.join();
  if (error) std::rethrow_exception(error);
  columns.Join(half, bones.size());
}

int AddAccessor(tinygltf::Model& model, std::size_t column, std::size_t count, int type,
                std::size_t width) {
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = column * sizeof(float);
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

// The nodes at rest, the clip of every frame and the VRM Animation extension, the frames'
// numbers in `columns`.
tinygltf::Model ModelOf(const HumanoidRest& rest, const Nodes& nodes, std::size_t frames,
                        const FrameColumns& columns) {
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

  // A player finds the clip's length in the times' bounds, which must be the stored numbers.
  const double last =
      static_cast<double>(static_cast<float>(static_cast<double>(frames - 1) / kFramesPerSecond));
  const int input = AddAccessor(model, columns.Times(), frames, TINYGLTF_TYPE_SCALAR, 1);
  model.accessors.back().minValues = {0.0};
  model.accessors.back().maxValues = {last};
  tinygltf::Animation animation;
  animation.name = "dance";
  AddChannel(animation, input, AddAccessor(model, columns.Hips(), frames, TINYGLTF_TYPE_VEC3, 3), 0,
             "translation");
  // A bone that turns is keyed on every frame; one that never does, on the first and the last.
  int stillInput = -1;
  int stillOutput = -1;
  std::size_t turning = 0;
  for (std::size_t i = 0; i < nodes.bones.size(); ++i) {
    if (turning < nodes.turning.size() && nodes.turning[turning] == nodes.bones[i]) {
      AddChannel(animation, input,
                 AddAccessor(model, columns.Turns(turning++), frames, TINYGLTF_TYPE_VEC4, 4),
                 static_cast<int>(i), "rotation");
      continue;
    }
    if (stillInput < 0) {
      stillInput =
          AddAccessor(model, columns.StillTimes(), columns.StillKeys(), TINYGLTF_TYPE_SCALAR, 1);
      model.accessors.back().minValues = {0.0};
      model.accessors.back().maxValues = {last};
      stillOutput =
          AddAccessor(model, columns.StillTurns(), columns.StillKeys(), TINYGLTF_TYPE_VEC4, 4);
    }
    AddChannel(animation, stillInput, stillOutput, static_cast<int>(i), "rotation");
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
  return model;
}

void PutWord(std::uint8_t* at, std::uint32_t word) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(word >> (8 * i));
}

// A binary glTF file: its header, the JSON chunk padded with blanks, the binary chunk (whose
// length, as the JSON's, is a multiple of 4).
void WriteBinaryGltf(std::string json, const std::uint8_t* binary, std::size_t binaryBytes,
                     DurableFile& file) {
  json.resize((json.size() + 3) / 4 * 4, ' ');
  std::array<std::uint8_t, 20> header{'g', 'l', 'T', 'F'};
  PutWord(&header[4], 2);
  PutWord(&header[8], static_cast<std::uint32_t>(12 + 8 + json.size() + 8 + binaryBytes));
  PutWord(&header[12], static_cast<std::uint32_t>(json.size()));
  PutWord(&header[16], 0x4E4F534A);  // "JSON"
  std::array<std::uint8_t, 8> binaryHeader{};
  PutWord(&binaryHeader[0], static_cast<std::uint32_t>(binaryBytes));
  PutWord(&binaryHeader[4], 0x004E4942);  // "BIN\0"
  file.Reserve(header.size() + json.size() + binaryHeader.size() + binaryBytes);
  file.Write(header.data(), header.size());
  file.Write(reinterpret_cast<const std::uint8_t*>(json.data()), json.size());
  file.Write(binaryHeader.data(), binaryHeader.size());
  file.Write(binary, binaryBytes);
}

}  // namespace

void WriteVrma(HumanoidBaker& baker, DurableFile& file) {
  const Nodes nodes = NodesOf(baker);
  const auto frames = static_cast<std::size_t>(baker.FrameCount());
  FrameColumns columns(frames, nodes.turning.size());
  BakeAll(baker, nodes.turning, frames, columns);
  const tinygltf::Model model = ModelOf(baker.Rest(), nodes, frames, columns);
  WriteBinaryGltf(BinaryGltfJson(model, columns.ByteCount()), columns.Bytes(), columns.ByteCount(),
                  file);
  file.Commit();
}

}  // namespace pavaneflow
