#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "model/humanoid_skeleton.h"
#include "motion/body_proportions.h"

namespace pavaneflow {

// A user's own character, read once from its file for the natural motion to be fitted to: its
// skeleton at rest (whose name is the model's) and the proportions of its body.
struct DanceModel {
  std::filesystem::path file;
  HumanoidSkeleton skeleton;
  BodyProportions body;
};

// Reads the PMX or VRM model at `file`. Throws FileError when it cannot be read and ModelError
// when it is no character to dance (src/model/model_file.h).
DanceModel ReadDanceModel(const std::filesystem::path& file);

// The same from the bytes of a model file named `fileName`.
DanceModel DanceModelFromBytes(std::span<const std::uint8_t> bytes, const std::string& fileName);

}  // namespace pavaneflow
