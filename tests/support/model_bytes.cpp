#include "support/model_bytes.h"

#include <array>
#include <bit>
#include <cmath>
#include <numbers>

#include <nlohmann/json.hpp>

#include "chart/text_decoder.h"
#include "model/humanoid_skeleton.h"

namespace pavaneflow::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Vec = std::array<float, 3>;

class Writer {
 public:
  explicit Writer(const PmxFile& file) : file_(file) {}

  void U8(std::uint8_t v) { bytes_.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
  void Floats(std::initializer_list<float> values) {
    for (const float v : values) F32(v);
  }
  void Vector(const Vec& v) { Floats({v[0], v[1], v[2]}); }
  void Index(std::int64_t value, std::uint8_t size) {
    for (std::uint8_t i = 0; i < size; ++i) U8(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void Text(const std::string& text) {
    if (file_.utf8) {
      U32(static_cast<std::uint32_t>(text.size()));
      bytes_.insert(bytes_.end(), text.begin(), text.end());
      return;
    }
    std::u16string units;
    TextDecoder decoder;
    decoder.Decode(text, units);
    decoder.Finish(units);
    U32(static_cast<std::uint32_t>(units.size() * 2));
    for (const char16_t unit : units) U16(unit);
  }

  std::size_t Size() const { return bytes_.size(); }
  Bytes Take() { return std::move(bytes_); }

 private:
  const PmxFile& file_;
  Bytes bytes_;
};

void Bone(std::vector<PmxBone>& bones, const std::string& name, Vec position,
          const std::string& parent, std::uint16_t flags) {
  PmxBone bone;
  bone.name = name;
  bone.englishName = "";
  bone.position = position;
  bone.parent = parent.empty() ? -1 : BoneIndex(bones, parent);
  bone.flags = flags;
  bones.push_back(bone);
}

}  // namespace

std::int32_t BoneIndex(const std::vector<PmxBone>& bones, const std::string& name) {
  for (std::size_t i = 0; i < bones.size(); ++i) {
    if (bones[i].name == name) return static_cast<std::int32_t>(i);
  }
  return -1;
}

std::vector<PmxBone> StandardBones(float legX, float legScale, float scale) {
  constexpr std::uint16_t kShown = kPmxRotatable | 0x0008 | 0x0010;
  const float hipY = 1.3f + 9.2f * legScale;
  const float drop = 10.5f - hipY;
  auto u = [drop](float y) { return y - drop; };
  std::vector<PmxBone> bones;
  Bone(bones, "全ての親", {0, 0, 0}, "", kShown | kPmxTranslatable | kPmxTailIsBone);
  Bone(bones, "センター", {0, u(8.0f), 0}, "全ての親", kShown | kPmxTranslatable);
  Bone(bones, "上半身", {0, u(11.5f), 0}, "センター", kShown | kPmxTailIsBone);
  Bone(bones, "首", {0, u(16.2f), 0}, "上半身", kShown | kPmxLocalAxes);
  Bone(bones, "頭", {0, u(17.2f), 0}, "首", kShown | kPmxFixedAxis);
  Bone(bones, "下半身", {0, u(11.5f), 0}, "センター", kShown | kPmxExternalParent);
  const double c = std::cos(40.0 * std::numbers::pi / 180.0);
  const double d = std::sin(40.0 * std::numbers::pi / 180.0);
  for (const float s : {1.0f, -1.0f}) {
    const std::string side = s > 0 ? "左" : "右";
    const float x = s * legX;
    Bone(bones, side + "足", {x, hipY, 0}, "下半身", kShown | kPmxTailIsBone);
    Bone(bones, side + "ひざ", {x, 1.3f + 4.5f * legScale, -0.15f}, side + "足", kShown);
    Bone(bones, side + "足首", {x, 1.3f, 0}, side + "ひざ", kShown);
    Bone(bones, side + "つま先", {x, 0.15f, -1.5f}, side + "足首", kPmxRotatable);
    Bone(bones, side + "足ＩＫ", {x, 1.3f, 0}, "全ての親", kShown | kPmxTranslatable | kPmxIk);
    PmxIk& ik = bones.back().ik.emplace();
    ik.target = BoneIndex(bones, side + "足首");
    ik.loops = 40;
    ik.limitRadians = 2.0f;
    ik.links = {{BoneIndex(bones, side + "ひざ"), true, {-3.1415927f, 0, 0}, {-0.008726646f, 0, 0}},
                {BoneIndex(bones, side + "足"), false, {}, {}}};
    Bone(bones, side + "肩", {s * 0.45f, u(15.6f), 0}, "上半身", kShown | kPmxInheritRotation);
    const Vec arm{s * 1.7f, u(15.3f), 0};
    const Vec elbow{arm[0] + s * static_cast<float>(3.0 * c), arm[1] - static_cast<float>(3.0 * d),
                    0};
    const Vec wrist{elbow[0] + s * static_cast<float>(2.8 * c),
                    elbow[1] - static_cast<float>(2.8 * d), 0};
    Bone(bones, side + "腕", arm, side + "肩", kShown | kPmxInheritTranslation);
    Bone(bones, side + "ひじ", elbow, side + "腕", kShown);
    Bone(bones, side + "手首", wrist, side + "ひじ", kShown);
  }
  for (PmxBone& bone : bones) {
    for (float& v : bone.position) v *= scale;
  }
  return bones;
}

std::vector<std::uint8_t> PmxBytes(const PmxFile& file, PmxOffsets* offsets) {
  PmxOffsets unused;
  PmxOffsets& at = offsets != nullptr ? *offsets : unused;
  Writer w(file);
  for (const char c : std::string("PMX ")) w.U8(static_cast<std::uint8_t>(c));
  w.F32(file.version);
  w.U8(8);
  for (const std::uint8_t global :
       {static_cast<std::uint8_t>(file.utf8 ? 1 : 0), file.additionalVectors, file.vertexIndex,
        file.textureIndex, file.materialIndex, file.boneIndex, std::uint8_t{1}, std::uint8_t{1}}) {
    w.U8(global);
  }
  w.Text(file.name);
  w.Text(file.englishName);
  w.Text("コメント");
  w.Text("comment");

  const std::uint8_t b = file.boneIndex;
  at.vertexCount = w.Size();
  w.U32(static_cast<std::uint32_t>(5 * file.vertexGroups));  // one vertex of each weight type
  for (std::size_t vertex = 0; vertex < 5 * file.vertexGroups; ++vertex) {
    const auto type = static_cast<std::uint8_t>(vertex % 5);
    w.Floats({1, 2, 3, 0, 1, 0, 0.5f, 0.5f});
    for (int i = 0; i < file.additionalVectors; ++i) w.Floats({1, 1, 1, 1});
    if (vertex == 0) at.firstWeightType = w.Size();
    w.U8(type);
    switch (type) {
      case 0:
        w.Index(0, b);
        break;
      case 1:
        w.Index(0, b);
        w.Index(1, b);
        w.F32(0.5f);
        break;
      case 3:
        w.Index(0, b);
        w.Index(1, b);
        w.F32(0.5f);
        w.Floats({0, 0, 0, 1, 1, 1, 2, 2, 2});
        break;
      default:
        for (int i = 0; i < 4; ++i) w.Index(i, b);
        w.Floats({0.25f, 0.25f, 0.25f, 0.25f});
    }
    w.F32(1.0f);
  }
  w.U32(static_cast<std::uint32_t>(6 * file.vertexGroups));
  for (std::size_t group = 0; group < file.vertexGroups; ++group) {
    for (const int v : {0, 1, 2, 2, 3, 4}) {
      w.Index(static_cast<std::int64_t>(5 * group) + v, file.vertexIndex);
    }
  }
  w.U32(2);
  w.Text("tex/skin.png");
  w.Text("tex/toon.bmp");
  w.U32(2);
  for (std::uint8_t toon = 0; toon < 2; ++toon) {
    w.Text(toon == 0 ? "肌" : "服");
    w.Text(toon == 0 ? "skin" : "clothes");
    w.Floats({1, 1, 1, 1, 0, 0, 0, 5, 0.5f, 0.5f, 0.5f});
    w.U8(0x01);
    w.Floats({0, 0, 0, 1, 0.6f});
    w.Index(0, file.textureIndex);
    w.Index(-1, file.textureIndex);
    w.U8(0);
    if (toon == 0) at.firstToonKind = w.Size();
    w.U8(toon);  // 0: a toon texture index, 1: one of the shared toons
    if (toon == 0) {
      w.Index(1, file.textureIndex);
    } else {
      w.U8(3);
    }
    w.Text("メモ");
    w.U32(3);
  }

  at.boneCount = w.Size();
  w.U32(static_cast<std::uint32_t>(file.bones.size()));
  for (const PmxBone& bone : file.bones) {
    w.Text(bone.name);
    w.Text(bone.englishName);
    w.Vector(bone.position);
    w.Index(bone.parent, b);
    w.U32(0);
    w.U16(bone.flags);
    if ((bone.flags & kPmxTailIsBone) != 0) {
      w.Index(-1, b);
    } else {
      w.Floats({0, 1, 0});
    }
    if ((bone.flags & (kPmxInheritRotation | kPmxInheritTranslation)) != 0) {
      w.Index(0, b);
      w.F32(1.0f);
    }
    if ((bone.flags & kPmxFixedAxis) != 0) w.Floats({0, 1, 0});
    if ((bone.flags & kPmxLocalAxes) != 0) w.Floats({1, 0, 0, 0, 0, 1});
    if ((bone.flags & kPmxExternalParent) != 0) w.U32(7);
    if ((bone.flags & kPmxIk) != 0) {
      const PmxIk& ik = *bone.ik;
      w.Index(ik.target, b);
      w.U32(static_cast<std::uint32_t>(ik.loops));
      w.F32(ik.limitRadians);
      w.U32(static_cast<std::uint32_t>(ik.links.size()));
      for (const PmxIkLink& link : ik.links) {
        w.Index(link.bone, b);
        w.U8(link.limited ? 1 : 0);
        if (link.limited) {
          w.Vector(link.lower);
          w.Vector(link.upper);
        }
      }
    }
  }
  at.bonesEnd = w.Size();
  w.U32(0);  // morphs: the reader stops before them
  return w.Take();
}

std::vector<std::uint8_t> GlbBytes(const std::string& json) {
  std::string padded = json;
  while (padded.size() % 4 != 0) padded += ' ';
  const Bytes binary(16, 0);
  Bytes bytes;
  auto u32 = [&bytes](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  u32(0x46546C67);
  u32(2);
  u32(static_cast<std::uint32_t>(12 + 8 + padded.size() + 8 + binary.size()));
  u32(static_cast<std::uint32_t>(padded.size()));
  u32(0x4E4F534A);
  bytes.insert(bytes.end(), padded.begin(), padded.end());
  u32(static_cast<std::uint32_t>(binary.size()));
  u32(0x004E4942);
  bytes.insert(bytes.end(), binary.begin(), binary.end());
  return bytes;
}

std::string VrmJson(int major, const std::string& name, double legScale) {
  using nlohmann::json;
  using Point = std::array<double, 3>;
  // The joints of a VRM 1.0 figure (facing +z, left at +x), in metres.
  const double drop = (1.0 - legScale) * 0.736;
  std::array<Point, kHumanoidBoneCount> world{};
  auto set = [&world](HumanoidBone bone, Point p) { world[static_cast<std::size_t>(bone)] = p; };
  set(HumanoidBone::kHips, {0, 0.90 - drop, 0});
  set(HumanoidBone::kSpine, {0, 0.98 - drop, 0});
  set(HumanoidBone::kChest, {0, 1.10 - drop, 0});
  set(HumanoidBone::kNeck, {0, 1.30 - drop, 0});
  set(HumanoidBone::kHead, {0, 1.38 - drop, 0});
  for (const double s : {1.0, -1.0}) {
    const bool left = s > 0;
    set(left ? HumanoidBone::kLeftShoulder : HumanoidBone::kRightShoulder,
        {s * 0.036, 1.248 - drop, 0});
    set(left ? HumanoidBone::kLeftUpperArm : HumanoidBone::kRightUpperArm,
        {s * 0.136, 1.224 - drop, 0});
    set(left ? HumanoidBone::kLeftLowerArm : HumanoidBone::kRightLowerArm,
        {s * 0.376, 1.224 - drop, 0});
    set(left ? HumanoidBone::kLeftHand : HumanoidBone::kRightHand, {s * 0.6, 1.224 - drop, 0});
    set(left ? HumanoidBone::kLeftUpperLeg : HumanoidBone::kRightUpperLeg,
        {s * 0.072, 0.104 + 0.736 * legScale, 0});
    set(left ? HumanoidBone::kLeftLowerLeg : HumanoidBone::kRightLowerLeg,
        {s * 0.072, 0.104 + 0.36 * legScale, 0.012});
    set(left ? HumanoidBone::kLeftFoot : HumanoidBone::kRightFoot, {s * 0.072, 0.104, 0});
    set(left ? HumanoidBone::kLeftToes : HumanoidBone::kRightToes, {s * 0.072, 0.012, 0.12});
  }
  if (major == 0) {
    for (Point& p : world) p = {-p[0], p[1], -p[2]};
  }
  // Node 0 is an armature turned 90° about y and scaled by 2; node 1 + i is humanoid bone i.
  // A child's translation is its offset from its parent, turned back and halved.
  const double half = std::sqrt(0.5);
  json nodes = json::array();
  nodes.push_back({{"name", "Armature"},
                   {"rotation", {0.0, half, 0.0, half}},
                   {"scale", {2.0, 2.0, 2.0}},
                   {"children", {1}}});
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    const std::size_t parent = static_cast<std::size_t>(kHumanoidParents[i]);
    const Point from = i == 0 ? Point{} : world[parent];
    const Point offset{world[i][0] - from[0], world[i][1] - from[1], world[i][2] - from[2]};
    // Turning (x, y, z) by 90° about y gives (z, y, −x); the inverse gives (−z, y, x).
    const Point local{-offset[2] / 2, offset[1] / 2, offset[0] / 2};
    json node = {{"name", std::string(kHumanoidBoneNames[i])}};
    if (i == static_cast<std::size_t>(HumanoidBone::kSpine)) {
      node["matrix"] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, local[0], local[1], local[2], 1};
    } else {
      node["translation"] = {local[0], local[1], local[2]};
    }
    json children = json::array();
    for (std::size_t c = 1; c < kHumanoidBoneCount; ++c) {
      if (static_cast<std::size_t>(kHumanoidParents[c]) == i) children.push_back(c + 1);
    }
    if (!children.empty()) node["children"] = children;
    nodes.push_back(node);
  }
  json root = {{"asset", {{"version", "2.0"}}}, {"scene", 0},
               {"scenes", {{{"nodes", {0}}}}},  {"nodes", nodes},
               {"meshes", json::array()},       {"materials", {{{"name", "skin"}}}}};
  if (major == 1) {
    json bones = json::object();
    for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
      bones[std::string(kHumanoidBoneNames[i])] = {{"node", i + 1}};
    }
    root["extensionsUsed"] = {"VRMC_vrm"};
    root["extensions"] = {{"VRMC_vrm",
                           {{"specVersion", "1.0"},
                            {"meta", {{"name", name}, {"authors", {"test"}}}},
                            {"humanoid", {{"humanBones", bones}}}}}};
  } else {
    json bones = json::array();
    for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
      bones.push_back({{"bone", std::string(kHumanoidBoneNames[i])}, {"node", i + 1}});
    }
    root["extensionsUsed"] = {"VRM"};
    root["extensions"] = {
        {"VRM",
         {{"meta", {{"title", name}, {"version", "1"}}}, {"humanoid", {{"humanBones", bones}}}}}};
  }
  return root.dump();
}

}  // namespace pavaneflow::test
