#include "vmd/vmd_layout.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "base/compat.h"
#include "vmd/cp932.h"

namespace pavaneflow {

namespace {

constexpr std::string_view kSignature = "Vocaloid Motion Data 0002";
constexpr std::size_t kSignatureSize = 30;
constexpr std::size_t kModelNameSize = 20;

// Copies the first `size` bytes of `bytes` to `out`, zero-filled behind a shorter text; a cut
// may split a character.
void PutField(std::uint8_t* out, std::string_view bytes, std::size_t size) {
  const std::size_t kept = std::min(bytes.size(), size);
  std::memcpy(out, bytes.data(), kept);
  std::memset(out + kept, 0, size - kept);
}

std::uint8_t* PutLittleEndian(std::uint8_t* out, std::uint32_t value) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &value, sizeof value);
  } else {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  return out + 4;
}

}  // namespace

VmdHeader MakeVmdHeader(const std::u16string& modelName, std::int32_t boneFrameCount) {
  VmdHeader header{};
  PutField(header.data(), kSignature, kSignatureSize);
  PutField(header.data() + kSignatureSize, EncodeCp932(modelName), kModelNameSize);
  PutLittleEndian(header.data() + kSignatureSize + kModelNameSize,
                  static_cast<std::uint32_t>(boneFrameCount));
  return header;
}

void PutVmdBoneFrame(std::uint8_t* out, const MotionFrame& frame, const VmdBoneName& boneName) {
  // Copies of a fixed size, which the compiler turns into a few moves instead of library calls.
  std::memcpy(out, boneName.data(), kVmdBoneNameSize);
  out += kVmdBoneNameSize;
  out = PutLittleEndian(out, static_cast<std::uint32_t>(frame.frameNumber()));
  for (float value : frame.position)
    out = PutLittleEndian(out, compat::bit_cast<std::uint32_t>(value));
  for (float value : frame.rotation)
    out = PutLittleEndian(out, compat::bit_cast<std::uint32_t>(value));
  std::memcpy(out, frame.interpolation->data(), sizeof(InterpolationBytes));
}

const VmdBoneName& VmdBoneNames::Add(const std::u16string* name) {
  if (2 * (used_ + 1) > slots_.size()) {
    std::vector<Slot> old(2 * slots_.size());
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.name != nullptr) slots_[Find(slot.name)] = slot;
    }
  }
  Slot& slot = slots_[Find(name)];
  slot.name = name;
  PutField(slot.field.data(), EncodeCp932(*name), kVmdBoneNameSize);
  ++used_;
  return slot.field;
}

}  // namespace pavaneflow
