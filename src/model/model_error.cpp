#include "model/model_error.h"

#include <string_view>

namespace pavaneflow {
namespace {

// Marks a text for the command line's catalogue (scripts/update-po), which translates it.
constexpr const char* N_(const char* text) {
  return text;
}

std::string Filled(std::string_view pattern, const std::string (&values)[4]) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' &&
        pattern[i + 1] >= '1' && pattern[i + 1] <= '4') {
      out += values[pattern[i + 1] - '1'];
      i += 2;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace

const char* ModelProblemPattern(ModelProblem problem) {
  switch (problem) {
    case ModelProblem::kNotAModel:
      return N_("{1}: not a PMX or VRM model");
    case ModelProblem::kTooLarge:
      return N_("{1}: too large for a model ({4} bytes; a PMX file is read up to 128 MB)");
    case ModelProblem::kUnsupportedVersion:
      return N_("{1}: version {4} is not read (PMX 2.0 and 2.1, glTF 2)");
    case ModelProblem::kTruncated:
      return N_("{1}: breaks off at byte {3} (the file is cut short or damaged)");
    case ModelProblem::kImpossibleValue:
      return N_("{1}: impossible value {4} at byte {3} (the file is damaged)");
    case ModelProblem::kTooManyNodes:
      return N_("{1}: more than {4} glTF nodes");
    case ModelProblem::kBadBoneIndex:
      return N_("{1}: bone {2} refers to a bone that does not exist");
    case ModelProblem::kBoneLoop:
      return N_("{1}: the parents of bone {2} go round in a loop");
    case ModelProblem::kNotFinite:
      return N_("{1}: the position of {2} is not a number");
    case ModelProblem::kBadJson:
      return N_("{1}: the glTF JSON is broken at byte {3} of it");
    case ModelProblem::kNotVrm:
      return N_("{1}: a glTF file without VRM humanoid bones");
    case ModelProblem::kBadNodeTree:
      return N_("{1}: glTF node {2} breaks the node tree");
    case ModelProblem::kMissingBones:
      return N_("{1}: bones needed for dancing are missing: {2}");
    case ModelProblem::kImpossibleLegs:
      return N_("{1}: the legs cannot dance ({2})");
  }
  return "{1}";
}

ModelError::ModelError(const std::string& file, ModelProblem problem, std::string name,
                       std::int64_t offset, std::string value)
    : std::runtime_error(
          Filled(ModelProblemPattern(problem), {file, name, std::to_string(offset), value})),
      file_(file),
      problem_(problem),
      name_(std::move(name)),
      offset_(offset),
      value_(std::move(value)) {}

}  // namespace pavaneflow
