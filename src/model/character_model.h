#pragma once

#include <optional>

#include "model/humanoid_skeleton.h"

namespace pavaneflow {

// A user's character as a dance needs it: its humanoid skeleton at rest, and where its centre
// bone is when it has one (a PMX model's センター, about which an MMD body turns).
struct CharacterModel {
  HumanoidSkeleton skeleton;
  std::optional<ModelPoint> centre;
};

}  // namespace pavaneflow
