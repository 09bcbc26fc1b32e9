#include "vmd/vmd_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "vmd/atomic_file.h"
#include "vmd/cp932.h"
#include "vmd/not_supported_error.h"

namespace pavaneflow {

namespace {

constexpr std::size_t kSignatureSize = 30;
constexpr std::size_t kModelNameSize = 20;
constexpr std::size_t kBoneNameSize = 15;
constexpr std::size_t kHeaderSize = kSignatureSize + kModelNameSize + 4;
constexpr std::size_t kBoneFrameSize = kBoneNameSize + 4 + 3 * 4 + 4 * 4 + 64;
constexpr std::size_t kEmptySectionCounts = 4;  // morph, camera, light, self-shadow
constexpr std::string_view kSignature = "Vocaloid Motion Data 0002";

template <std::size_t N>
using Field = std::array<std::uint8_t, N>;

// The first N bytes of `bytes`, zero-filled behind a shorter text; a cut may split a character.
template <std::size_t N>
Field<N> ToField(std::string_view bytes) {
  Field<N> field{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), N), field.begin());
  return field;
}

std::uint8_t* PutLittleEndian(std::uint8_t* out, std::uint32_t value) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &value, sizeof value);
  } else {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  return out + 4;
}

// The encoded bone names by interned name, found by the name's address under a mask: the lookup
// runs once per key frame, where hashing with a division showed in the profile.
class BoneFields {
 public:
  explicit BoneFields(const MotionDocument& document) {
    const auto names = document.BoneNames();
    std::size_t size = 8;
    while (size < 2 * names.size()) size *= 2;
    slots_.resize(size);
    mask_ = size - 1;
    for (const std::u16string* name : names) {
      Slot& slot = slots_[Find(name)];
      slot.name = name;
      slot.field = ToField<kBoneNameSize>(EncodeCp932(*name));
    }
  }

  const Field<kBoneNameSize>& operator[](const std::u16string* name) const {
    return slots_[Find(name)].field;
  }

 private:
  struct Slot {
    const std::u16string* name = nullptr;
    Field<kBoneNameSize> field{};
  };

  // The slot holding `name`, or the empty one where it belongs. Interned names are separate
  // allocations, so the bits above the allocator's alignment spread them.
  std::size_t Find(const std::u16string* name) const {
    std::size_t i = (reinterpret_cast<std::uintptr_t>(name) >> 4) & mask_;
    while (slots_[i].name != name && slots_[i].name != nullptr) i = (i + 1) & mask_;
    return i;
  }

  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
};

// The record goes straight into the archive's buffer: assembled elsewhere first, each of
// millions of records would be copied twice.
void WriteBoneFrame(const MotionFrame& frame, const Field<kBoneNameSize>& boneName,
                    ByteArchive& archive) {
  std::uint8_t* out = archive.Claim(kBoneFrameSize);
  // Copies of a fixed size, which the compiler turns into a few moves instead of library calls.
  std::memcpy(out, boneName.data(), kBoneNameSize);
  out += kBoneNameSize;
  out = PutLittleEndian(out, static_cast<std::uint32_t>(frame.frameNumber()));
  for (float value : frame.position)
    out = PutLittleEndian(out, std::bit_cast<std::uint32_t>(value));
  for (float value : frame.rotation)
    out = PutLittleEndian(out, std::bit_cast<std::uint32_t>(value));
  std::memcpy(out, frame.interpolation->data(), sizeof(InterpolationBytes));
}

// The number of bytes that Serialize writes for `document`.
std::size_t FileSize(const MotionDocument& document, const VmdWriteOptions& options) {
  return kHeaderSize + kBoneFrameSize * document.FrameCount() +
         (options.appendEmptySections ? 4 * kEmptySectionCounts : 0);
}

class VectorSink : public ByteSink {
 public:
  explicit VectorSink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  void Write(const std::uint8_t* data, std::size_t size) override {
    bytes_.insert(bytes_.end(), data, data + size);
  }

 private:
  std::vector<std::uint8_t>& bytes_;
};

}  // namespace

void Serialize(const MotionDocument& document, ByteArchive& archive,
               const VmdWriteOptions& options) {
  if (archive.IsLoading()) throw NotSupportedError("reading VMD files is not supported");
  if (document.FrameCount() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::length_error("too many key frames for a VMD file");
  }
  // Each distinct bone name is encoded once, not once per frame.
  const BoneFields boneNames(document);
  archive.Write(ToField<kSignatureSize>(kSignature));
  archive.Write(ToField<kModelNameSize>(EncodeCp932(document.modelName)));
  archive.WriteInt32(static_cast<std::int32_t>(document.FrameCount()));
  document.ForEachFrame([&](const MotionFrame& frame) {
    WriteBoneFrame(frame, boneNames[frame.internedBoneName()], archive);
  });
  if (options.appendEmptySections) {
    for (std::size_t i = 0; i < kEmptySectionCounts; ++i) archive.WriteInt32(0);
  }
}

std::vector<std::uint8_t> SerializeVmd(const MotionDocument& document,
                                       const VmdWriteOptions& options) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(FileSize(document, options));
  VectorSink sink(bytes);
  ByteArchive archive(sink, ByteArchive::Mode::kStore);
  Serialize(document, archive, options);
  archive.Flush();
  return bytes;
}

void SaveVmdFile(const MotionDocument& document, const std::filesystem::path& path,
                 const VmdWriteOptions& options) {
  AtomicFile file(path);
  file.Reserve(FileSize(document, options));
  ByteArchive archive(file, ByteArchive::Mode::kStore);
  Serialize(document, archive, options);
  archive.Flush();
  file.Commit();
}

}  // namespace pavaneflow
