#include "support/vmd_test_reader.h"

#include <bit>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pavaneflow::test {

namespace {

class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Has(std::size_t n) const { return bytes_.size() - offset_ >= n; }
  std::span<const std::uint8_t> Take(std::size_t n) {
    auto taken = bytes_.subspan(offset_, n);
    offset_ += n;
    return taken;
  }
  std::string Text(std::size_t n) {
    std::string text;
    for (std::uint8_t byte : Take(n)) {
      if (byte == 0) break;
      text.push_back(static_cast<char>(byte));
    }
    return text;
  }
  std::uint32_t Uint32() {
    auto b = Take(4);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
  }
  float Float() { return std::bit_cast<float>(Uint32()); }
  std::span<const std::uint8_t> Rest() { return Take(bytes_.size() - offset_); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t offset_ = 0;
};

constexpr std::size_t kHeaderSize = 54;
constexpr std::size_t kRecordSize = 111;

}  // namespace

std::optional<VmdContents> ReadVmd(std::span<const std::uint8_t> bytes, std::string* error) {
  Cursor cursor(bytes);
  if (!cursor.Has(kHeaderSize)) {
    if (error) *error = "shorter than the 54-byte header";
    return std::nullopt;
  }
  VmdContents contents;
  contents.signature = cursor.Text(30);
  contents.modelName = cursor.Text(20);
  const std::uint32_t count = cursor.Uint32();
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!cursor.Has(kRecordSize)) {
      if (error)
        *error = "key frame " + std::to_string(i) + " of " + std::to_string(count) + " is cut off";
      return std::nullopt;
    }
    VmdBoneFrame& frame = contents.frames.emplace_back();
    frame.boneName = cursor.Text(15);
    frame.frameNumber = static_cast<std::int32_t>(cursor.Uint32());
    for (float& value : frame.position) value = cursor.Float();
    for (float& value : frame.rotation) value = cursor.Float();
    auto interpolation = cursor.Take(64);
    std::copy(interpolation.begin(), interpolation.end(), frame.interpolation.begin());
  }
  auto rest = cursor.Rest();
  contents.trailing.assign(rest.begin(), rest.end());
  return contents;
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace pavaneflow::test
