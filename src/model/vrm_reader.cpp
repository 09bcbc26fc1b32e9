#include "model/vrm_reader.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/model_error.h"

namespace pavaneflow {
namespace {

using Json = nlohmann::json;

constexpr std::uint32_t kGlbMagic = 0x46546C67;   // "glTF"
constexpr std::uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr std::uint32_t kGlbVersion = 2;
// A model's JSON is well under a megabyte; this leaves room for large ones and keeps what is
// parsed small.
constexpr std::uint64_t kMostJsonBytes = 16u << 20;
constexpr std::size_t kMostNodes = 65536;
constexpr double kMetresPerUnit = 0.08;

constexpr HumanoidBone kRequired[] = {
    HumanoidBone::kHips,          HumanoidBone::kSpine,         HumanoidBone::kHead,
    HumanoidBone::kLeftUpperArm,  HumanoidBone::kLeftLowerArm,  HumanoidBone::kLeftHand,
    HumanoidBone::kRightUpperArm, HumanoidBone::kRightLowerArm, HumanoidBone::kRightHand,
    HumanoidBone::kLeftUpperLeg,  HumanoidBone::kLeftLowerLeg,  HumanoidBone::kLeftFoot,
    HumanoidBone::kRightUpperLeg, HumanoidBone::kRightLowerLeg, HumanoidBone::kRightFoot};

std::uint32_t U32At(std::span<const std::uint8_t> bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
  return value;
}

// A column-major 4×4 transform, as glTF writes it.
using Matrix = std::array<double, 16>;

Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix out{};
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
      out[column * 4 + row] = sum;
    }
  }
  return out;
}

// Builds the part of the JSON the humanoid needs: the nodes (their children and transforms) and
// the VRM extensions. Everything else is dropped as it is read, so the memory kept stays small
// whatever else the file holds, and the time stays in proportion to the text (the library's own
// filtering parser scans a parent for dropped values after each child, which a file of many nodes
// turns into hours).
class PrunedJson : public nlohmann::json_sax<Json> {
 public:
  Json& Root() { return root_; }
  bool TooManyNodes() const { return tooManyNodes_; }
  std::size_t ErrorAt() const { return errorAt_; }

  bool null() override { return Value(Json(nullptr)); }
  bool boolean(bool value) override { return Value(Json(value)); }
  bool number_integer(number_integer_t value) override { return Value(Json(value)); }
  bool number_unsigned(number_unsigned_t value) override { return Value(Json(value)); }
  bool number_float(number_float_t value, const string_t&) override { return Value(Json(value)); }
  bool string(string_t& value) override { return Value(Json(std::move(value))); }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override {
    if (levels_.size() == 2 && top_ == "nodes" && ++nodes_ > kMostNodes) {
      tooManyNodes_ = true;
      return false;
    }
    levels_.push_back(Add(Json::object()));
    return true;
  }
  bool key(string_t& key) override {
    const std::size_t depth = levels_.size();
    if (depth == 1) top_ = key;
    keep_ = levels_.back() != nullptr && Wanted(depth, key);
    key_ = std::move(key);
    return true;
  }
  bool end_object() override {
    levels_.pop_back();
    return true;
  }
  bool start_array(std::size_t) override {
    levels_.push_back(Add(Json::array()));
    return true;
  }
  bool end_array() override {
    levels_.pop_back();
    return true;
  }
  bool parse_error(std::size_t position, const std::string&,
                   const nlohmann::detail::exception&) override {
    errorAt_ = position;
    return false;
  }

 private:
  bool Wanted(std::size_t depth, const std::string& key) const {
    if (depth == 1) return key == "nodes" || key == "extensions";
    if (depth == 2 && top_ == "extensions") return key == "VRMC_vrm" || key == "VRM";
    if (depth == 3 && top_ == "nodes") {
      return key == "children" || key == "translation" || key == "rotation" || key == "scale" ||
             key == "matrix";
    }
    return true;
  }

  bool Value(Json value) {
    Add(std::move(value));
    return true;
  }

  // Puts `value` where the parser stands, unless that place is dropped; where it was put, or
  // null.
  Json* Add(Json value) {
    if (levels_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    Json* parent = levels_.back();
    if (parent == nullptr) return nullptr;
    if (parent->is_array()) {
      parent->push_back(std::move(value));
      return &parent->back();
    }
    if (!keep_) return nullptr;
    Json& slot = (*parent)[key_];
    slot = std::move(value);
    return &slot;
  }

  Json root_;
  std::vector<Json*> levels_;  // the open objects and arrays, null where dropped
  std::string top_;            // the top-level key being read
  std::string key_;
  bool keep_ = true;
  std::size_t nodes_ = 0;
  bool tooManyNodes_ = false;
  std::size_t errorAt_ = 0;
};

class VrmReader {
 public:
  explicit VrmReader(const std::string& fileName) : fileName_(fileName) {}

  CharacterModel Read(const Json& root) {
    const Json* nodes = Member(&root, "nodes");
    if (nodes != nullptr && nodes->is_array()) nodes_ = nodes;
    Parents();

    CharacterModel character;
    HumanoidSkeleton& skeleton = character.skeleton;
    const Json* extensions = Member(&root, "extensions");
    const Json* vrm1 = Member(extensions, "VRMC_vrm");
    const Json* vrm0 = Member(extensions, "VRM");
    const Json* name = nullptr;
    if (vrm1 != nullptr) {
      // VRM 1.0: {"hips": {"node": 3}, ...}, the figure facing +z.
      const Json* bones = Member(Member(vrm1, "humanoid"), "humanBones");
      if (bones == nullptr || !bones->is_object()) Refuse(ModelProblem::kNotVrm);
      for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
        const Json* node = Member(Member(bones, std::string(kHumanoidBoneNames[i])), "node");
        if (node != nullptr) Place(skeleton, i, *node, -1.0);
      }
      name = Member(Member(vrm1, "meta"), "name");
    } else if (vrm0 != nullptr) {
      // VRM 0.x: [{"bone": "hips", "node": 3}, ...], the figure facing −z.
      const Json* bones = Member(Member(vrm0, "humanoid"), "humanBones");
      if (bones == nullptr || !bones->is_array()) Refuse(ModelProblem::kNotVrm);
      for (const Json& entry : *bones) {
        const Json* bone = Member(&entry, "bone");
        const Json* node = Member(&entry, "node");
        if (bone == nullptr || !bone->is_string() || node == nullptr) continue;
        for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
          if (bone->get_ref<const std::string&>() == kHumanoidBoneNames[i]) {
            Place(skeleton, i, *node, 1.0);
          }
        }
      }
      name = Member(Member(vrm0, "meta"), "title");
    } else {
      Refuse(ModelProblem::kNotVrm);
    }

    std::string missing;
    for (const HumanoidBone bone : kRequired) {
      if (skeleton.Has(bone)) continue;
      if (!missing.empty()) missing += ", ";
      missing += kHumanoidBoneNames[static_cast<std::size_t>(bone)];
    }
    if (!missing.empty()) throw ModelError(fileName_, ModelProblem::kMissingBones, missing);

    if (name != nullptr && name->is_string()) skeleton.name = name->get<std::string>();
    if (skeleton.name.empty()) skeleton.name = std::filesystem::path(fileName_).stem().string();
    return character;
  }

 private:
  static const Json* Member(const Json* object, const std::string& key) {
    if (object == nullptr || !object->is_object()) return nullptr;
    const auto found = object->find(key);
    return found == object->end() ? nullptr : &*found;
  }

  [[noreturn]] void Refuse(ModelProblem problem, std::string name = {}) const {
    throw ModelError(fileName_, problem, std::move(name));
  }

  std::size_t NodeCount() const { return nodes_ == nullptr ? 0 : nodes_->size(); }

  // A node index, refused when it names no node.
  std::size_t NodeIndex(const Json& index) const {
    if (!index.is_number_unsigned() || index.get<std::uint64_t>() >= NodeCount()) {
      Refuse(ModelProblem::kBadNodeTree, index.is_number() ? index.dump() : "?");
    }
    return static_cast<std::size_t>(index.get<std::uint64_t>());
  }

  // Each node's parent, from the children lists; a node listed twice, or a loop, is refused.
  void Parents() {
    parents_.assign(NodeCount(), std::nullopt);
    for (std::size_t i = 0; i < NodeCount(); ++i) {
      const Json* children = Member(&(*nodes_)[i], "children");
      if (children == nullptr) continue;
      if (!children->is_array()) Refuse(ModelProblem::kBadNodeTree, std::to_string(i));
      for (const Json& child : *children) {
        const std::size_t c = NodeIndex(child);
        if (parents_[c]) Refuse(ModelProblem::kBadNodeTree, std::to_string(c));
        parents_[c] = i;
      }
    }
    // 0 not yet walked, 1 on the way being walked, 2 leads to a root.
    std::vector<std::uint8_t> state(NodeCount(), 0);
    for (std::size_t start = 0; start < NodeCount(); ++start) {
      std::optional<std::size_t> i = start;
      while (i && state[*i] == 0) {
        state[*i] = 1;
        i = parents_[*i];
      }
      if (i && state[*i] == 1) Refuse(ModelProblem::kBadNodeTree, std::to_string(*i));
      for (i = start; i && state[*i] == 1; i = parents_[*i]) state[*i] = 2;
    }
  }

  // `count` numbers of `node`'s `key`, or nothing when it has none.
  template <std::size_t N>
  std::optional<std::array<double, N>> Numbers(const Json& node, const std::string& key,
                                               std::size_t index) const {
    const Json* value = Member(&node, key);
    if (value == nullptr) return std::nullopt;
    if (!value->is_array() || value->size() != N) {
      Refuse(ModelProblem::kBadNodeTree, std::to_string(index));
    }
    std::array<double, N> numbers{};
    for (std::size_t i = 0; i < N; ++i) {
      if (!(*value)[i].is_number()) Refuse(ModelProblem::kBadNodeTree, std::to_string(index));
      numbers[i] = (*value)[i].get<double>();
      if (!std::isfinite(numbers[i])) Refuse(ModelProblem::kNotFinite, std::to_string(index));
    }
    return numbers;
  }

  // The node's transform from its parent's space: its matrix, or translation × rotation × scale.
  Matrix Local(std::size_t index) const {
    const Json& node = (*nodes_)[index];
    if (const auto matrix = Numbers<16>(node, "matrix", index)) return *matrix;
    const auto t = Numbers<3>(node, "translation", index).value_or(std::array<double, 3>{});
    const auto r =
        Numbers<4>(node, "rotation", index).value_or(std::array<double, 4>{0.0, 0.0, 0.0, 1.0});
    const auto s = Numbers<3>(node, "scale", index).value_or(std::array<double, 3>{1.0, 1.0, 1.0});
    const double length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2] + r[3] * r[3]);
    if (!(length > 0.0)) Refuse(ModelProblem::kBadNodeTree, std::to_string(index));
    const double x = r[0] / length, y = r[1] / length, z = r[2] / length, w = r[3] / length;
    const double rotation[9] = {
        1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),
        2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),
        2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y)};
    Matrix m{};
    for (int column = 0; column < 3; ++column) {
      for (int row = 0; row < 3; ++row)
        m[column * 4 + row] = rotation[column * 3 + row] * s[column];
    }
    m[12] = t[0];
    m[13] = t[1];
    m[14] = t[2];
    m[15] = 1.0;
    return m;
  }

  // Puts humanoid bone `bone` where its node lies at rest; `zSign` turns the figure's facing
  // into the dance's (−1 for a figure facing +z), and x is mirrored with z to keep the left side
  // at +x.
  void Place(HumanoidSkeleton& skeleton, std::size_t bone, const Json& nodeIndex,
             double zSign) const {
    std::size_t index = NodeIndex(nodeIndex);
    Matrix world = Local(index);
    for (std::optional<std::size_t> parent = parents_[index]; parent; parent = parents_[*parent]) {
      world = Multiply(Local(*parent), world);
    }
    const ModelPoint point{-zSign * world[12] / kMetresPerUnit, world[13] / kMetresPerUnit,
                           zSign * world[14] / kMetresPerUnit};
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) {
      Refuse(ModelProblem::kNotFinite, std::string(kHumanoidBoneNames[bone]));
    }
    skeleton.joints[bone] = point;
    skeleton.present[bone] = true;
  }

  const std::string& fileName_;
  const Json* nodes_ = nullptr;
  std::vector<std::optional<std::size_t>> parents_;
};

}  // namespace

bool LooksLikeGlb(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 4 && U32At(bytes, 0) == kGlbMagic;
}

std::uint64_t GlbJsonEnd(std::span<const std::uint8_t> prefix) {
  if (prefix.size() < kGlbPrefixSize || !LooksLikeGlb(prefix)) return 0;
  const std::uint64_t length = U32At(prefix, 12);
  return length > kMostJsonBytes ? 0 : kGlbPrefixSize + length;
}

CharacterModel ReadVrm(std::span<const std::uint8_t> bytes, std::uint64_t fileSize,
                       const std::string& fileName) {
  if (!LooksLikeGlb(bytes)) throw ModelError(fileName, ModelProblem::kNotAModel);
  const auto truncated = [&fileName](std::uint64_t at) {
    return ModelError(fileName, ModelProblem::kTruncated, {}, static_cast<std::int64_t>(at));
  };
  if (bytes.size() < kGlbPrefixSize) throw truncated(bytes.size());
  const std::uint32_t version = U32At(bytes, 4);
  if (version != kGlbVersion) {
    throw ModelError(fileName, ModelProblem::kUnsupportedVersion, {}, 4, std::to_string(version));
  }
  const std::uint64_t declared = U32At(bytes, 8);
  const std::uint64_t jsonLength = U32At(bytes, 12);
  if (U32At(bytes, 16) != kJsonChunk) {
    throw ModelError(fileName, ModelProblem::kImpossibleValue, {}, 16,
                     std::to_string(U32At(bytes, 16)));
  }
  if (jsonLength > kMostJsonBytes) {
    throw ModelError(fileName, ModelProblem::kImpossibleValue, {}, 12, std::to_string(jsonLength));
  }
  if (declared < kGlbPrefixSize + jsonLength) {
    throw ModelError(fileName, ModelProblem::kImpossibleValue, {}, 8, std::to_string(declared));
  }
  if (bytes.size() < kGlbPrefixSize + jsonLength) throw truncated(bytes.size());
  if (fileSize < declared) throw truncated(fileSize);

  const auto* text = reinterpret_cast<const char*>(bytes.data() + kGlbPrefixSize);
  PrunedJson json;
  if (!Json::sax_parse(text, text + jsonLength, &json)) {
    if (json.TooManyNodes()) {
      throw ModelError(fileName, ModelProblem::kTooManyNodes, {}, -1, std::to_string(kMostNodes));
    }
    throw ModelError(fileName, ModelProblem::kBadJson, {},
                     static_cast<std::int64_t>(json.ErrorAt()));
  }
  return VrmReader(fileName).Read(json.Root());
}

}  // namespace pavaneflow
