#include "export/vrma_writer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "export/gltf.h"
#include "export/right_handed.h"

namespace pavaneflow {
namespace {

constexpr double kFramesPerSecond = 30.0;
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

// Where the frames' numbers lie in the file's binary chunk, in floats, one array after another:
// the times, the hips' positions, each turning node's rotations, and last the keys of the nodes
// that never turn: the first and last frame's times and the identity rotation on both.
class ColumnLayout {
 public:
  ColumnLayout(std::size_t frames, std::size_t turning)
      : frames_(frames),
        stillKeys_(std::min<std::size_t>(frames, 2)),
        size_(frames * (1 + 3 + 4 * turning) + 5 * stillKeys_) {}

  std::size_t Times() const { return 0; }
  std::size_t Hips() const { return frames_; }
  std::size_t Turns(std::size_t turning) const { return frames_ * (4 + 4 * turning); }
  std::size_t Frames() const { return frames_; }
  std::size_t StillTimes() const { return size_ - 5 * stillKeys_; }
  std::size_t StillTurns() const { return size_ - 4 * stillKeys_; }
  std::size_t StillKeys() const { return stillKeys_; }
  std::uint64_t ByteCount() const { return std::uint64_t{size_} * sizeof(float); }

 private:
  std::size_t frames_;
  std::size_t stillKeys_;  // 2, or 1 for a dance of one frame
  std::size_t size_;
};

// A run of frames baked: the rows of each column for frames `begin` to `end` (excluded).
class FrameBlock {
 public:
  explicit FrameBlock(std::size_t turning) : turns_(turning) {}

  // Bakes frames `begin` to `end` of the `turning` bones. Each rotation is put on the same side
  // as the one before it (q and −q are one rotation), so that nothing between two frames takes
  // the long way round; before `begin` stands the identity, until Join.
  void Bake(HumanoidBaker& baker, const std::vector<HumanoidBone>& turning, std::size_t begin,
            std::size_t end) {
    begin_ = begin;
    const std::size_t count = end - begin;
    times_.resize(count);
    hips_.resize(3 * count);
    for (std::vector<float>& column : turns_) column.resize(4 * count);
    std::vector<Quaternion> previous(turning.size(), Quaternion{0.0, 0.0, 0.0, 1.0});
    for (std::size_t row = 0; row < count; ++row) {
      const std::size_t f = begin + row;
      const HumanoidPose pose = baker.Pose(static_cast<std::int32_t>(f));
      times_[row] = static_cast<float>(static_cast<double>(f) / kFramesPerSecond);
      const Vec3 at = ExportPoint(pose.hips, kMetresPerUnit);
      float* hips = &hips_[3 * row];
      hips[0] = static_cast<float>(at.x);
      hips[1] = static_cast<float>(at.y);
      hips[2] = static_cast<float>(at.z);
      for (std::size_t i = 0; i < turning.size(); ++i) {
        Quaternion q = ExportRotation(pose.Turn(turning[i]));
        const Quaternion& p = previous[i];
        if (q[0] * p[0] + q[1] * p[1] + q[2] * p[2] + q[3] * p[3] < 0.0) {
          for (double& v : q) v = -v;
        }
        previous[i] = q;
        float* out = &turns_[i][4 * row];
        for (std::size_t k = 0; k < 4; ++k) out[k] = static_cast<float>(q[k]);
      }
    }
  }

  // Joins the block to the frames before it, whose last rotations are `last` (none for the
  // first block): where a bone's first rotation here stands on the other side of the one before
  // it, all of its rotations here change sides, which is what baking them in one go would have
  // given. Leaves the block's own last rotations in `last`.
  void Join(std::vector<std::array<float, 4>>& last) {
    for (std::size_t t = 0; t < turns_.size(); ++t) {
      std::vector<float>& q = turns_[t];
      if (!last.empty()) {
        float dot = 0.0f;
        for (std::size_t i = 0; i < 4; ++i) dot += last[t][i] * q[i];
        if (dot < 0.0f) {
          for (float& v : q) v = -v;
        }
      }
    }
    last.resize(turns_.size());
    for (std::size_t t = 0; t < turns_.size(); ++t) {
      std::copy_n(turns_[t].end() - 4, 4, last[t].begin());
    }
  }

  // Writes the block's rows into their columns of the binary chunk, which starts `chunk` bytes
  // into `file`.
  void Write(const ColumnLayout& layout, std::uint64_t chunk, DurableFile& file) const {
    const auto put = [&](std::size_t column, std::size_t width, const std::vector<float>& rows) {
      const std::uint64_t at = chunk + (column + begin_ * width) * sizeof(float);
      file.WriteAt(at, reinterpret_cast<const std::uint8_t*>(rows.data()),
                   rows.size() * sizeof(float));
    };
    put(layout.Times(), 1, times_);
    put(layout.Hips(), 3, hips_);
    for (std::size_t t = 0; t < turns_.size(); ++t) put(layout.Turns(t), 4, turns_[t]);
  }

 private:
  std::size_t begin_ = 0;
  std::vector<float> times_;
  std::vector<float> hips_;
  std::vector<std::vector<float>> turns_;
};

// Bakes every frame block by block and writes each block into the file's binary chunk as soon as
// the blocks before it are written, so that the disk works while the frames are baked and only a
// few blocks are held at a time. Blocks are baked on as many threads as there are cores (up to
// kMostThreads), each with a baker of its own; the blocks are the same whatever the threads, and
// so are the file's bytes.
class BlockPipeline {
 public:
  BlockPipeline(const std::vector<HumanoidBone>& turning, const ColumnLayout& layout,
                std::uint64_t chunk, DurableFile& file)
      : turning_(turning), layout_(layout), chunk_(chunk), file_(file) {}

  void Run(HumanoidBaker& baker) {
    const std::size_t blocks = (layout_.Frames() + kBlockFrames - 1) / kBlockFrames;
    const std::size_t threads =
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMostThreads);
    // Copied before any thread starts, so that nothing thrown leaves a thread running.
    std::vector<HumanoidBaker> bakers(std::min(threads, blocks) - 1, baker);
    std::vector<std::thread> helpers;
    helpers.reserve(bakers.size());
    for (HumanoidBaker& b : bakers) {
      try {
        helpers.emplace_back([this, &b] { Work(b); });
      } catch (const std::system_error&) {
        // No more threads to be had: those there are bake everything.
        break;
      }
    }
    Work(baker);
    for (std::thread& helper : helpers) helper.join();
    if (error_) std::rethrow_exception(error_);
  }

 private:
  // A few megabytes a thread; a dance of up to 9 minutes is one block.
  static constexpr std::size_t kBlockFrames = 1 << 14;
  static constexpr std::size_t kMostThreads = 4;

  // Takes the next block not yet taken, bakes it and writes it in its turn, until none is left
  // or another thread failed.
  void Work(HumanoidBaker& baker) {
    FrameBlock block(turning_.size());
    try {
      for (;;) {
        const std::size_t index = next_.fetch_add(1);
        const std::size_t begin = index * kBlockFrames;
        if (begin >= layout_.Frames()) return;
        block.Bake(baker, turning_, begin, std::min(begin + kBlockFrames, layout_.Frames()));
        std::unique_lock lock(mutex_);
        turn_changed_.wait(lock, [&] { return written_ == index || error_; });
        if (error_) return;
        block.Join(last_);
        block.Write(layout_, chunk_, file_);
        ++written_;
        lock.unlock();
        turn_changed_.notify_all();
      }
    } catch (...) {
      {
        const std::lock_guard lock(mutex_);
        if (!error_) error_ = std::current_exception();
      }
      turn_changed_.notify_all();
    }
  }

  const std::vector<HumanoidBone>& turning_;
  const ColumnLayout& layout_;
  std::uint64_t chunk_;
  DurableFile& file_;
  std::atomic<std::size_t> next_ = 0;  // the next block to take
  std::mutex mutex_;                   // guards what follows, and the file
  std::condition_variable turn_changed_;
  std::size_t written_ = 0;                 // blocks written
  std::vector<std::array<float, 4>> last_;  // the last rotations written
  std::exception_ptr error_;
};

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
// numbers where `columns` puts them.
tinygltf::Model ModelOf(const HumanoidRest& rest, const Nodes& nodes, std::size_t frames,
                        const ColumnLayout& columns) {
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

// Starts a binary glTF file: its header, the JSON chunk padded with blanks and the binary
// chunk's header (its length, as the JSON's, a multiple of 4), the binary chunk's bytes left for
// WriteAt; where they start.
std::uint64_t StartBinaryGltf(std::string json, std::uint64_t binaryBytes, DurableFile& file) {
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
  file.Extend(binaryBytes);
  return header.size() + json.size() + binaryHeader.size();
}

// The keys of the nodes that never turn.
void WriteStillKeys(const ColumnLayout& columns, std::uint64_t chunk, DurableFile& file) {
  std::vector<float> keys;
  for (std::size_t k = 0; k < columns.StillKeys(); ++k) {
    keys.push_back(
        static_cast<float>(static_cast<double>(k * (columns.Frames() - 1)) / kFramesPerSecond));
  }
  for (std::size_t k = 0; k < columns.StillKeys(); ++k) keys.insert(keys.end(), {0, 0, 0, 1});
  file.WriteAt(chunk + columns.StillTimes() * sizeof(float),
               reinterpret_cast<const std::uint8_t*>(keys.data()), keys.size() * sizeof(float));
}

}  // namespace

void WriteVrma(HumanoidBaker& baker, DurableFile& file) {
  const Nodes nodes = NodesOf(baker);
  const auto frames = static_cast<std::size_t>(baker.FrameCount());
  const ColumnLayout columns(frames, nodes.turning.size());
  const tinygltf::Model model = ModelOf(baker.Rest(), nodes, frames, columns);
  const std::uint64_t chunk =
      StartBinaryGltf(BinaryGltfJson(model, columns.ByteCount()), columns.ByteCount(), file);
  WriteStillKeys(columns, chunk, file);
  BlockPipeline(nodes.turning, columns, chunk, file).Run(baker);
  file.Commit();
}

}  // namespace pavaneflow
