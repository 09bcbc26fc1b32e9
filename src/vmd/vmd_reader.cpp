#include "vmd/vmd_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>
#include <vector>

#include "base/compat.h"
#include "base/file_error.h"
#include "vmd/cp932.h"

namespace pavaneflow {
namespace {

constexpr std::size_t kSignatureSize = 30;
constexpr std::string_view kSignature = "Vocaloid Motion Data 0002";
constexpr std::string_view kOldSignature = "Vocaloid Motion Data file";
constexpr std::size_t kModelNameSize = 20;
constexpr std::size_t kOldModelNameSize = 10;
constexpr std::size_t kNameSize = 15;
constexpr std::size_t kBoneRecordSize = kNameSize + 4 + 12 + 16 + 64;
constexpr std::size_t kMorphRecordSize = kNameSize + 4 + 4;
constexpr std::size_t kCameraRecordSize = 4 + 4 + 12 + 12 + 24 + 4 + 1;
constexpr std::size_t kLightRecordSize = 4 + 12 + 12;
constexpr std::size_t kSelfShadowRecordSize = 4 + 1 + 4;

// Walks the bytes front to back; every read is checked against the end first.
class Cursor {
 public:
  Cursor(std::span<const std::uint8_t> bytes, const std::string& fileName)
      : bytes_(bytes), fileName_(fileName) {}

  std::size_t offset() const { return offset_; }
  bool AtEnd() const { return offset_ == bytes_.size(); }

  [[noreturn]] void Truncated(const std::string& what) const {
    throw VmdFormatError(fileName_ + ": " + std::to_string(bytes_.size()) +
                             " バイト目で途切れています (" + what + ")",
                         bytes_.size());
  }

  // Makes sure `size` more bytes follow, else the file broke off inside `what`.
  void Need(std::size_t size, const std::string& what) const {
    if (bytes_.size() - offset_ < size) Truncated(what + "の途中");
  }

  // A section count, refused when its records cannot all fit in the bytes that follow.
  std::size_t Count(std::size_t recordSize, const std::string& section) {
    Need(4, section + "の数");
    const std::size_t at = offset_;
    const std::uint32_t count = U32();
    const std::size_t left = bytes_.size() - offset_;
    if (count > left / recordSize) {
      Truncated(std::to_string(at) + " バイト目の" + section + "の数 " + std::to_string(count) +
                " に足りません");
    }
    return count;
  }

  std::uint32_t U32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes_[offset_ + i]) << (8 * i);
    offset_ += 4;
    return value;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  float F32() { return compat::bit_cast<float>(U32()); }
  std::uint8_t U8() { return bytes_[offset_++]; }

  template <std::size_t N>
  std::array<float, N> Floats() {
    std::array<float, N> values{};
    for (float& value : values) value = F32();
    return values;
  }
  template <std::size_t N>
  std::array<std::uint8_t, N> Bytes() {
    std::array<std::uint8_t, N> values{};
    std::memcpy(values.data(), bytes_.data() + offset_, N);
    offset_ += N;
    return values;
  }
  std::string_view Raw(std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(bytes_.data() + offset_), size);
    offset_ += size;
    return raw;
  }
  // A name field: code page 932 up to the first zero byte.
  std::u16string Name(std::size_t size) {
    const std::string_view field = Raw(size);
    return DecodeCp932(field.substr(0, std::min(field.find('\0'), field.size())));
  }

 private:
  std::span<const std::uint8_t> bytes_;
  const std::string& fileName_;
  std::size_t offset_ = 0;
};

// Reads one section: its count, then `read` once per record.
template <typename Frame, typename Read>
void ReadSection(Cursor& in, std::size_t recordSize, const std::string& section,
                 std::vector<Frame>& frames, Read read) {
  const std::size_t count = in.Count(recordSize, section);
  frames.resize(count);
  for (Frame& frame : frames) read(frame);
}

}  // namespace

VmdMotion ReadVmd(std::span<const std::uint8_t> bytes, const std::string& fileName) {
  Cursor in(bytes, fileName);
  VmdMotion motion;
  in.Need(kSignatureSize, "署名");
  const std::string_view signature = in.Raw(kSignatureSize);
  if (signature.starts_with(kOldSignature)) {
    motion.oldFormat = true;
  } else if (!signature.starts_with(kSignature)) {
    throw VmdFormatError(fileName + ": VMD ファイルではありません (0 バイト目の署名が違います)", 0);
  }
  const std::size_t nameSize = motion.oldFormat ? kOldModelNameSize : kModelNameSize;
  in.Need(nameSize, "モデル名");
  motion.modelName = in.Name(nameSize);

  ReadSection(in, kBoneRecordSize, "ボーンのキーフレーム", motion.bones, [&](VmdBoneFrame& f) {
    f.boneName = in.Name(kNameSize);
    f.frameNumber = in.I32();
    f.position = in.Floats<3>();
    f.rotation = in.Floats<4>();
    f.interpolation = in.Bytes<64>();
  });
  if (in.AtEnd()) return motion;
  ReadSection(in, kMorphRecordSize, "モーフのキーフレーム", motion.morphs, [&](VmdMorphFrame& f) {
    f.morphName = in.Name(kNameSize);
    f.frameNumber = in.I32();
    f.weight = in.F32();
  });
  if (in.AtEnd()) return motion;
  ReadSection(in, kCameraRecordSize, "カメラのキーフレーム", motion.cameras,
              [&](VmdCameraFrame& f) {
                f.frameNumber = in.I32();
                f.distance = in.F32();
                f.position = in.Floats<3>();
                f.rotation = in.Floats<3>();
                f.interpolation = in.Bytes<24>();
                f.viewAngle = in.U32();
                f.perspective = in.U8() == 0;
              });
  if (in.AtEnd()) return motion;
  ReadSection(in, kLightRecordSize, "照明のキーフレーム", motion.lights, [&](VmdLightFrame& f) {
    f.frameNumber = in.I32();
    f.colour = in.Floats<3>();
    f.direction = in.Floats<3>();
  });
  if (in.AtEnd()) return motion;
  ReadSection(in, kSelfShadowRecordSize, "セルフ影のキーフレーム", motion.selfShadows,
              [&](VmdSelfShadowFrame& f) {
                f.frameNumber = in.I32();
                f.mode = in.U8();
                f.distance = in.F32();
              });
  return motion;
}

VmdMotion ReadVmdFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw FileError::FromErrno(path, errno);
  std::vector<std::uint8_t> bytes;
  char buffer[1 << 16];
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    bytes.insert(bytes.end(), buffer, buffer + file.gcount());
  }
  if (file.bad()) throw FileError::FromErrno(path, errno);
  return ReadVmd(bytes, path.string());
}

}  // namespace pavaneflow
