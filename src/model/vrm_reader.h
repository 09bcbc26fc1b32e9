#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/character_model.h"

namespace pavaneflow {

inline constexpr std::size_t kGlbPrefixSize = 20;  // the header and the first chunk's header

// Whether `bytes` start as a binary glTF (a VRM file) does.
bool LooksLikeGlb(std::span<const std::uint8_t> bytes);

// How many bytes from the start of a binary glTF hold its header and its JSON chunk, read from
// its first kGlbPrefixSize bytes (0 when they are not those of a binary glTF, or name a JSON
// chunk larger than any model's): all of the file that ReadVrm needs.
std::uint64_t GlbJsonEnd(std::span<const std::uint8_t> prefix);

// Reads the humanoid of a VRM model (VRM 1.0's VRMC_vrm extension, or VRM 0.x's VRM one): the
// rest position of each humanoid bone, composed from the node tree, turned into the dance's
// units (1 = 0.08 m) and axes (y up, facing −z, left side at +x: VRM 1.0 faces +z and VRM 0.x −z)
// and the model's name (its meta's name or title; `fileName`'s stem when it has none).
// `bytes` are the file's first bytes, at least up to GlbJsonEnd; `fileSize` is the whole file's
// size. The binary chunk is not needed. Refused with a ModelError naming `fileName`: another
// format or version, a file that breaks off, a JSON chunk that is not JSON or larger than any
// model's, no VRM humanoid, a humanoid bone on a missing node, a node tree with loops or shared
// children, positions that are not finite, or a missing required bone (hips, spine, head, and
// on each side upper arm, lower arm, hand, upper leg, lower leg and foot).
CharacterModel ReadVrm(std::span<const std::uint8_t> bytes, std::uint64_t fileSize,
                       const std::string& fileName);

}  // namespace pavaneflow
