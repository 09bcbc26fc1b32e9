#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pavaneflow {

// What keeps a model file from being read as a character to dance.
enum class ModelProblem {
  kNotAModel,           // neither a PMX model nor a binary glTF (VRM) file
  kTooLarge,            // value: the file's size in bytes
  kUnsupportedVersion,  // value: the version the file names
  kTruncated,           // offset: where the file breaks off
  kImpossibleValue,     // offset: where it stands; value: the value (an index size, a count...)
  kTooManyNodes,        // value: the most glTF nodes read
  kBadBoneIndex,        // a parent or IK link naming no bone; name: the bone that names it
  kBoneLoop,            // the bones' parents go round in a circle; name: a bone on it
  kNotFinite,           // a position that is not a finite number; name: its bone or node
  kBadJson,             // the glTF's JSON cannot be read; offset: where in the JSON
  kNotVrm,              // a glTF file without VRM humanoid bones
  kBadNodeTree,         // a node with two parents, a loop, or a missing node; name: the node
  kMissingBones,        // name: the missing bones, joined by ", "
  kImpossibleLegs,      // legs upside down or of an absurd size; name: the joints' heights
};

// The English words of `problem`, with "{1}" for the file, "{2}" for the name, "{3}" for the
// offset and "{4}" for the value: the command line translates them through its catalogue.
const char* ModelProblemPattern(ModelProblem problem);

// A model file that cannot be danced. what() is ModelProblemPattern filled in.
class ModelError : public std::runtime_error {
 public:
  ModelError(const std::string& file, ModelProblem problem, std::string name = {},
             std::int64_t offset = -1, std::string value = {});

  const std::string& file() const { return file_; }
  ModelProblem problem() const { return problem_; }
  const std::string& name() const { return name_; }
  std::int64_t offset() const { return offset_; }  // a byte offset, −1 when none
  const std::string& value() const { return value_; }

 private:
  std::string file_;
  ModelProblem problem_;
  std::string name_;
  std::int64_t offset_;
  std::string value_;
};

}  // namespace pavaneflow
