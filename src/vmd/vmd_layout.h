#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vmd/motion_frame.h"

namespace pavaneflow {

// The bytes of a VMD file: a 54-byte header, 111 bytes per bone key frame, and optionally the
// four empty counts of the sections behind them. Names are in code page 932, cut to their field
// by bytes.
inline constexpr std::size_t kVmdHeaderSize = 30 + 20 + 4;
inline constexpr std::size_t kVmdBoneNameSize = 15;
inline constexpr std::size_t kVmdBoneFrameSize = kVmdBoneNameSize + 4 + 3 * 4 + 4 * 4 + 64;
inline constexpr std::size_t kVmdEmptySectionsSize = 4 * 4;  // morph, camera, light, self-shadow

using VmdHeader = std::array<std::uint8_t, kVmdHeaderSize>;
using VmdBoneName = std::array<std::uint8_t, kVmdBoneNameSize>;

// The signature, the model name and the number of bone key frames.
VmdHeader MakeVmdHeader(const std::u16string& modelName, std::int32_t boneFrameCount);

// Puts the record of `frame` at `out`, which has room for kVmdBoneFrameSize bytes.
void PutVmdBoneFrame(std::uint8_t* out, const MotionFrame& frame, const VmdBoneName& boneName);

// The encoded bone names by interned name, each encoded the first time it is asked for. Found by
// the name's address under a mask: the lookup runs once per key frame, where hashing with a
// division showed in the profile.
class VmdBoneNames {
 public:
  VmdBoneNames() : slots_(8) {}

  const VmdBoneName& operator[](const std::u16string* name) {
    Slot& slot = slots_[Find(name)];
    return slot.name == name ? slot.field : Add(name);
  }

 private:
  struct Slot {
    const std::u16string* name = nullptr;
    VmdBoneName field{};
  };

  // The slot holding `name`, or the empty one where it belongs. Interned names are separate
  // allocations, so the bits above the allocator's alignment spread them.
  std::size_t Find(const std::u16string* name) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = (reinterpret_cast<std::uintptr_t>(name) >> 4) & mask;
    while (slots_[i].name != name && slots_[i].name != nullptr) i = (i + 1) & mask;
    return i;
  }
  const VmdBoneName& Add(const std::u16string* name);

  std::vector<Slot> slots_;  // a power of two in size, at most half of them used
  std::size_t used_ = 0;
};

}  // namespace pavaneflow
