#include "motion/setup/dance_model.h"

#include "model/model_file.h"
#include "motion/model_proportions.h"

namespace pavaneflow {
namespace {

DanceModel Made(std::filesystem::path file, const CharacterModel& character) {
  return {std::move(file), character.skeleton, ProportionsOf(character)};
}

}  // namespace

DanceModel ReadDanceModel(const std::filesystem::path& file) {
  return Made(file, ReadModelFile(file));
}

DanceModel DanceModelFromBytes(std::span<const std::uint8_t> bytes, const std::string& fileName) {
  return Made(fileName, ReadModel(bytes, fileName));
}

}  // namespace pavaneflow
