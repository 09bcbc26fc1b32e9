#include "model/model_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "base/file_error.h"
#include "model/model_error.h"
#include "model/pmx_reader.h"
#include "model/pmx_skeleton.h"
#include "model/vrm_reader.h"

namespace pavaneflow {
namespace {

// Hip joints above the ankles by this much at least and at most: a twentieth and fifty times the
// reference body's 9.2 units (the model may be made in other units than MMD's).
constexpr double kShortestLegs = 0.46;
constexpr double kLongestLegs = 460.0;

// A height with two decimals, the same in every locale.
std::string Figure(double value) {
  long long hundredths = std::llround(std::clamp(value, -1e12, 1e12) * 100.0);
  std::string text = hundredths < 0 ? "-" : "";
  hundredths = std::llabs(hundredths);
  const long long fraction = hundredths % 100;
  return text + std::to_string(hundredths / 100) + (fraction < 10 ? ".0" : ".") +
         std::to_string(fraction);
}

void CheckLegs(const HumanoidSkeleton& skeleton, const std::string& fileName) {
  const HumanoidBone legs[2][3] = {
      {HumanoidBone::kLeftUpperLeg, HumanoidBone::kLeftLowerLeg, HumanoidBone::kLeftFoot},
      {HumanoidBone::kRightUpperLeg, HumanoidBone::kRightLowerLeg, HumanoidBone::kRightFoot}};
  for (const auto& leg : legs) {
    const double hip = skeleton.Joint(leg[0]).y;
    const double knee = skeleton.Joint(leg[1]).y;
    const double ankle = skeleton.Joint(leg[2]).y;
    const double height = hip - ankle;
    if (!(hip > knee && knee > ankle && height >= kShortestLegs && height <= kLongestLegs)) {
      throw ModelError(
          fileName, ModelProblem::kImpossibleLegs,
          "hip " + Figure(hip) + ", knee " + Figure(knee) + ", ankle " + Figure(ankle));
    }
  }
}

CharacterModel Checked(CharacterModel character, const std::string& fileName) {
  CheckLegs(character.skeleton, fileName);
  return character;
}

}  // namespace

CharacterModel ReadModel(std::span<const std::uint8_t> bytes, const std::string& fileName) {
  if (LooksLikeGlb(bytes)) return Checked(ReadVrm(bytes, bytes.size(), fileName), fileName);
  if (!LooksLikePmx(bytes)) throw ModelError(fileName, ModelProblem::kNotAModel);
  if (bytes.size() > kMostPmxBytes) {
    throw ModelError(fileName, ModelProblem::kTooLarge, {}, -1, std::to_string(bytes.size()));
  }
  return Checked(CharacterFromPmx(ReadPmx(bytes, fileName), fileName), fileName);
}

CharacterModel ReadModelFile(const std::filesystem::path& path) {
  const std::string fileName = path.string();
  std::error_code error;
  const std::uint64_t size = std::filesystem::file_size(path, error);
  if (error) throw FileError::FromErrno(path, error.value());
  std::ifstream file(path, std::ios::binary);
  if (!file) throw FileError::FromErrno(path, errno);
  std::vector<std::uint8_t> bytes;
  auto readUpTo = [&](std::uint64_t end) {
    const std::size_t from = bytes.size();
    bytes.resize(static_cast<std::size_t>(std::min(end, size)));
    file.read(reinterpret_cast<char*>(bytes.data() + from),
              static_cast<std::streamsize>(bytes.size() - from));
    if (file.bad()) throw FileError::FromErrno(path, errno);
    bytes.resize(from + static_cast<std::size_t>(file.gcount()));
  };
  readUpTo(kGlbPrefixSize);
  if (LooksLikeGlb(bytes)) {
    readUpTo(std::max<std::uint64_t>(GlbJsonEnd(bytes), kGlbPrefixSize));
    return Checked(ReadVrm(bytes, size, fileName), fileName);
  }
  if (!LooksLikePmx(bytes)) throw ModelError(fileName, ModelProblem::kNotAModel);
  if (size > kMostPmxBytes) {
    throw ModelError(fileName, ModelProblem::kTooLarge, {}, -1, std::to_string(size));
  }
  readUpTo(size);
  return ReadModel(bytes, fileName);
}

}  // namespace pavaneflow
