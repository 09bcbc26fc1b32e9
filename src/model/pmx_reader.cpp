#include "model/pmx_reader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/compat.h"
#include "chart/text_decoder.h"
#include "chart/utf8.h"
#include "model/model_error.h"

namespace pavaneflow {
namespace {

constexpr std::string_view kMagic = "PMX ";
constexpr std::size_t kGlobalsNeeded = 8;
constexpr std::uint8_t kMostAdditionalVectors = 4;

// The header's globals, in the order the file lists them.
struct Globals {
  bool utf8 = false;
  std::uint8_t additionalVectors = 0;
  std::uint8_t vertexIndex = 0;
  std::uint8_t textureIndex = 0;
  std::uint8_t materialIndex = 0;
  std::uint8_t boneIndex = 0;
};

// Walks the bytes front to back; every read is checked against the end first.
class Cursor {
 public:
  Cursor(std::span<const std::uint8_t> bytes, const std::string& fileName)
      : bytes_(bytes), fileName_(fileName) {}

  std::size_t Offset() const { return offset_; }

  void Need(std::size_t size) const {
    if (bytes_.size() - offset_ < size) {
      throw ModelError(fileName_, ModelProblem::kTruncated, {},
                       static_cast<std::int64_t>(bytes_.size()));
    }
  }
  void Skip(std::size_t size) {
    Need(size);
    offset_ += size;
  }

  [[noreturn]] void Impossible(std::size_t at, std::int64_t value) const {
    throw ModelError(fileName_, ModelProblem::kImpossibleValue, {}, static_cast<std::int64_t>(at),
                     std::to_string(value));
  }

  std::uint8_t U8() {
    Need(1);
    return bytes_[offset_++];
  }
  std::uint16_t U16() {
    Need(2);
    const auto value = static_cast<std::uint16_t>(bytes_[offset_] | (bytes_[offset_ + 1] << 8));
    offset_ += 2;
    return value;
  }
  std::uint32_t U32() {
    Need(4);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      value |= static_cast<std::uint32_t>(bytes_[offset_ + i]) << (8 * i);
    }
    offset_ += 4;
    return value;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  float F32() { return compat::bit_cast<float>(U32()); }
  std::array<float, 3> Vector3() { return {F32(), F32(), F32()}; }

  // A count of records of at least `leastSize` bytes each, refused when negative or when that
  // many records cannot fit in what is left, so that nothing is allocated for a count the file
  // cannot hold.
  std::size_t Count(std::size_t leastSize) {
    const std::size_t at = offset_;
    const std::int32_t count = I32();
    if (count < 0) Impossible(at, count);
    if (static_cast<std::size_t>(count) > (bytes_.size() - offset_) / leastSize) {
      throw ModelError(fileName_, ModelProblem::kTruncated, {},
                       static_cast<std::int64_t>(bytes_.size()));
    }
    return static_cast<std::size_t>(count);
  }

  // A bone index: signed, −1 for none.
  std::int32_t SignedIndex(std::uint8_t size) {
    switch (size) {
      case 1:
        return static_cast<std::int8_t>(U8());
      case 2:
        return static_cast<std::int16_t>(U16());
      default:
        return I32();
    }
  }

  // The bytes of a text field.
  std::string_view Text() {
    const std::size_t length = Count(1);
    const std::string_view text(reinterpret_cast<const char*>(bytes_.data() + offset_), length);
    offset_ += length;
    return text;
  }
  void SkipText() { Text(); }

 private:
  std::span<const std::uint8_t> bytes_;
  const std::string& fileName_;
  std::size_t offset_ = 0;
};

// A version as the user would write it ("2.5"), without the locale or floating-point printing.
std::string VersionText(float version) {
  if (!std::isfinite(version) || std::fabs(version) > 1e6f) return "?";
  const long long hundredths = std::llround(static_cast<double>(version) * 100.0);
  std::string text = std::to_string(hundredths / 100);
  const long long fraction = std::llabs(hundredths % 100);
  if (hundredths < 0 && hundredths > -100) text = "-" + text;
  if (fraction != 0) {
    text += '.' + std::to_string(fraction / 10);
    if (fraction % 10 != 0) text += std::to_string(fraction % 10);
  }
  return text;
}

class PmxReader {
 public:
  PmxReader(std::span<const std::uint8_t> bytes, const std::string& fileName)
      : in_(bytes, fileName), fileName_(fileName) {}

  PmxModel Read() {
    PmxModel model;
    Header(model);
    SkipVertices();
    SkipFaces();
    SkipTextures();
    SkipMaterials();
    Bones(model);
    Check(model);
    return model;
  }

 private:
  void Header(PmxModel& model) {
    in_.Skip(kMagic.size());
    const float version = in_.F32();
    if (!(version == 2.0f || version == 2.1f)) {
      throw ModelError(fileName_, ModelProblem::kUnsupportedVersion, {}, 4, VersionText(version));
    }
    model.version = version;
    const std::size_t globalsAt = in_.Offset();
    const std::uint8_t count = in_.U8();
    if (count < kGlobalsNeeded) in_.Impossible(globalsAt, count);
    std::uint8_t globals[kGlobalsNeeded];
    for (std::size_t i = 0; i < kGlobalsNeeded; ++i) {
      globals[i] = in_.U8();
      const std::size_t at = globalsAt + 1 + i;
      if (i == 0 && globals[i] > 1) in_.Impossible(at, globals[i]);
      if (i == 1 && globals[i] > kMostAdditionalVectors) in_.Impossible(at, globals[i]);
      if (i >= 2 && globals[i] != 1 && globals[i] != 2 && globals[i] != 4) {
        in_.Impossible(at, globals[i]);
      }
    }
    in_.Skip(count - kGlobalsNeeded);  // globals of a later version
    globals_ = {globals[0] == 1, globals[1], globals[2], globals[3], globals[4], globals[5]};
    model.name = Decode(in_.Text());
    model.englishName = Decode(in_.Text());
    in_.SkipText();  // comments
    in_.SkipText();
  }

  void SkipVertices() {
    const std::size_t bone = globals_.boneIndex;
    const std::size_t fixed = 4 * (3 + 3 + 2 + 4 * globals_.additionalVectors);
    const std::size_t count = in_.Count(fixed + 1 + bone + 4);
    for (std::size_t i = 0; i < count; ++i) {
      in_.Skip(fixed);
      const std::size_t at = in_.Offset();
      const std::uint8_t weights = in_.U8();
      switch (weights) {
        case 0:  // BDEF1: one bone
          in_.Skip(bone);
          break;
        case 1:  // BDEF2: two bones, one weight
          in_.Skip(2 * bone + 4);
          break;
        case 2:  // BDEF4 and QDEF: four bones, four weights
        case 4:
          in_.Skip(4 * bone + 16);
          break;
        case 3:  // SDEF: two bones, one weight, C, R0 and R1
          in_.Skip(2 * bone + 4 + 36);
          break;
        default:
          in_.Impossible(at, weights);
      }
      in_.Skip(4);  // edge scale
    }
  }

  void SkipFaces() {
    const std::size_t size = globals_.vertexIndex;
    in_.Skip(in_.Count(size) * size);
  }

  void SkipTextures() {
    const std::size_t count = in_.Count(4);
    for (std::size_t i = 0; i < count; ++i) in_.SkipText();
  }

  void SkipMaterials() {
    const std::size_t texture = globals_.textureIndex;
    // Two names, colours and flags, two texture indices, blend mode, toon kind and the smallest
    // toon, memo, face count.
    const std::size_t least =
        4 + 4 + 16 + 12 + 4 + 12 + 1 + 16 + 4 + 2 * texture + 1 + 1 + 1 + 4 + 4;
    const std::size_t count = in_.Count(least);
    for (std::size_t i = 0; i < count; ++i) {
      in_.SkipText();
      in_.SkipText();
      in_.Skip(16 + 12 + 4 + 12 + 1 + 16 + 4 + 2 * texture + 1);
      const std::size_t at = in_.Offset();
      const std::uint8_t sharedToon = in_.U8();
      if (sharedToon > 1) in_.Impossible(at, sharedToon);
      in_.Skip(sharedToon == 1 ? 1 : texture);
      in_.SkipText();
      in_.Skip(4);
    }
  }

  void Bones(PmxModel& model) {
    const std::uint8_t index = globals_.boneIndex;
    // Two names, position, parent, layer, flags and the smaller tail.
    const std::size_t count = in_.Count(4 + 4 + 12 + index + 4 + 2 + index);
    model.bones.resize(count);
    for (PmxBone& bone : model.bones) {
      bone.name = Decode(in_.Text());
      bone.englishName = Decode(in_.Text());
      bone.position = in_.Vector3();
      bone.parent = in_.SignedIndex(index);
      in_.Skip(4);  // deform layer
      bone.flags = in_.U16();
      in_.Skip((bone.flags & kPmxTailIsBone) != 0 ? index : 12);
      if ((bone.flags & (kPmxInheritRotation | kPmxInheritTranslation)) != 0) in_.Skip(index + 4);
      if ((bone.flags & kPmxFixedAxis) != 0) in_.Skip(12);
      if ((bone.flags & kPmxLocalAxes) != 0) in_.Skip(24);
      if ((bone.flags & kPmxExternalParent) != 0) in_.Skip(4);
      if ((bone.flags & kPmxIk) != 0) {
        PmxIk& ik = bone.ik.emplace();
        ik.target = in_.SignedIndex(index);
        ik.loops = in_.I32();
        ik.limitRadians = in_.F32();
        ik.links.resize(in_.Count(index + 1u));
        for (PmxIkLink& link : ik.links) {
          link.bone = in_.SignedIndex(index);
          link.limited = in_.U8() != 0;
          if (link.limited) {
            link.lower = in_.Vector3();
            link.upper = in_.Vector3();
          }
        }
      }
    }
  }

  // Indices that name bones, finite positions, and parents that lead to a root.
  void Check(const PmxModel& model) const {
    const auto count = static_cast<std::int64_t>(model.bones.size());
    auto names = [count](std::int32_t i, bool noneAllowed) {
      return (noneAllowed && i == -1) || (i >= 0 && i < count);
    };
    for (const PmxBone& bone : model.bones) {
      for (const float value : bone.position) {
        if (!std::isfinite(value)) throw ModelError(fileName_, ModelProblem::kNotFinite, bone.name);
      }
      bool fine = names(bone.parent, true);
      if (bone.ik) {
        fine = fine && names(bone.ik->target, false);
        for (const PmxIkLink& link : bone.ik->links) fine = fine && names(link.bone, false);
      }
      if (!fine) throw ModelError(fileName_, ModelProblem::kBadBoneIndex, bone.name);
    }
    // Each bone's way up is walked once: 0 not yet, 1 on the way being walked, 2 leads to a root.
    std::vector<std::uint8_t> state(model.bones.size(), 0);
    for (std::size_t start = 0; start < model.bones.size(); ++start) {
      std::int32_t i = static_cast<std::int32_t>(start);
      while (i != -1 && state[static_cast<std::size_t>(i)] == 0) {
        state[static_cast<std::size_t>(i)] = 1;
        i = model.bones[static_cast<std::size_t>(i)].parent;
      }
      if (i != -1 && state[static_cast<std::size_t>(i)] == 1) {
        throw ModelError(fileName_, ModelProblem::kBoneLoop,
                         model.bones[static_cast<std::size_t>(i)].name);
      }
      for (i = static_cast<std::int32_t>(start); i != -1 && state[static_cast<std::size_t>(i)] == 1;
           i = model.bones[static_cast<std::size_t>(i)].parent) {
        state[static_cast<std::size_t>(i)] = 2;
      }
    }
  }

  // A name as UTF-8: UTF-16LE turned into it, UTF-8 with its invalid bytes replaced.
  std::string Decode(std::string_view bytes) const {
    std::u16string units;
    if (globals_.utf8) {
      TextDecoder decoder;
      decoder.Decode(bytes, units);
      decoder.Finish(units);
    } else {
      units.resize(bytes.size() / 2);
      for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
      }
    }
    return ToUtf8(units);
  }

  Cursor in_;
  const std::string& fileName_;
  Globals globals_;
};

}  // namespace

bool LooksLikePmx(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kMagic.size() &&
         std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) == 0;
}

PmxModel ReadPmx(std::span<const std::uint8_t> bytes, const std::string& fileName) {
  if (!LooksLikePmx(bytes)) throw ModelError(fileName, ModelProblem::kNotAModel);
  return PmxReader(bytes, fileName).Read();
}

}  // namespace pavaneflow
