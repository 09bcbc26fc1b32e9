#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>

#include "vmd/vmd_motion.h"

namespace pavaneflow {

// VMD content that cannot be read: not a VMD file, or a file that breaks off. what() names the
// file and the byte offset (counted from 0), e.g. "a.vmd: 123 バイト目で途切れています (...)".
class VmdFormatError : public std::runtime_error {
 public:
  VmdFormatError(const std::string& message, std::uint64_t offset)
      : std::runtime_error(message), offset_(offset) {}
  std::uint64_t offset() const { return offset_; }

 private:
  std::uint64_t offset_;
};

// Reads VMD bytes: either signature, the bone key frames, and the morph, camera, light and
// self-shadow sections as far as the file has them (a file may end after any section). Bytes
// after the last section are ignored. Names are decoded from code page 932 up to their first
// zero byte. A count is checked against the bytes left before anything is allocated for it, so
// no input makes a large allocation. Throws VmdFormatError naming `fileName`.
VmdMotion ReadVmd(std::span<const std::uint8_t> bytes, const std::string& fileName);

// Reads the VMD file at `path`. Throws FileError when it cannot be read and VmdFormatError when
// its content is not VMD.
VmdMotion ReadVmdFile(const std::filesystem::path& path);

}  // namespace pavaneflow
