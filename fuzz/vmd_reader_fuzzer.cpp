// Any bytes through the VMD reader: no crash, no undefined behaviour and no allocation beyond the
// input's size, whatever the file holds; what is read samples without trouble.
#include <cstddef>
#include <cstdint>
#include <span>

#include "vmd/bone_track.h"
#include "vmd/vmd_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const pavaneflow::VmdMotion motion =
        pavaneflow::ReadVmd(std::span<const std::uint8_t>(data, size), "fuzz.vmd");
    if (!motion.bones.empty()) {
      const pavaneflow::BoneTrack track =
          pavaneflow::BoneTrack::FromVmd(motion, motion.bones.front().boneName);
      for (double frame = -1.0; frame < 64.0; frame += 0.75) track.At(frame);
    }
  } catch (const pavaneflow::VmdFormatError&) {
  }
  return 0;
}
