#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "model/character_model.h"

namespace pavaneflow {

// The largest PMX file read (a model's file is a few megabytes, the largest known some tens): a
// larger one is refused before it is read, so that no file makes the reader hold more than this.
inline constexpr std::uint64_t kMostPmxBytes = 128u << 20;

// Reads a user's character from the bytes of a PMX model (2.0 or 2.1) or a VRM model (binary
// glTF, VRM 1.0 or 0.x), told apart by their first bytes, whatever the file's name. The skeleton
// is in the dance's units and axes. Refused with a ModelError naming `fileName`: a file of another
// kind, larger than kMostPmxBytes (PMX), damaged, lacking the bones a dance needs (see
// CharacterFromPmx and ReadVrm), or whose legs cannot dance: hip joints not above the knees and
// the knees not above the ankles, or legs shorter than a twentieth or longer than fifty times the
// reference body's.
CharacterModel ReadModel(std::span<const std::uint8_t> bytes, const std::string& fileName);

// Reads the model file at `path` as ReadModel does; of a VRM file only the header and the JSON
// are read. Throws FileError when the file cannot be read, ModelError when it is no model to
// dance.
CharacterModel ReadModelFile(const std::filesystem::path& path);

}  // namespace pavaneflow
