#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pavaneflow::test {

// One bone key frame record as found in a VMD file.
struct VmdBoneFrame {
  std::string boneName;  // the field's bytes up to the first zero byte (code page 932)
  std::int32_t frameNumber = 0;
  std::array<float, 3> position{};
  std::array<float, 4> rotation{};
  std::array<std::uint8_t, 64> interpolation{};
};

// What a test reads back from a VMD file: the header, the bone key frames and whatever follows
// them (empty for the default output, 16 zero bytes with the empty section counts).
struct VmdContents {
  std::string signature;  // up to the first zero byte
  std::string modelName;  // up to the first zero byte (code page 932)
  std::vector<VmdBoneFrame> frames;
  std::vector<std::uint8_t> trailing;
};

// Parses VMD bytes; nullopt when they are too short for the header or the stated frame count,
// with the reason in `error` if given.
std::optional<VmdContents> ReadVmd(std::span<const std::uint8_t> bytes,
                                   std::string* error = nullptr);

// The whole content of a file; throws std::runtime_error if it cannot be read.
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);

}  // namespace pavaneflow::test
