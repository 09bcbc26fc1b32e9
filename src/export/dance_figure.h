#pragma once

#include "model/humanoid_skeleton.h"
#include "motion/body_proportions.h"
#include "motion/setup/dance_setup.h"

namespace pavaneflow {

// The figure a dance is exported for: its humanoid skeleton at rest, and the body the dance was
// made for (the height of its centre bone, about which the dance turns it).
struct DanceFigure {
  HumanoidSkeleton skeleton;
  BodyProportions body;
};

// The figure `setup` dances for: the user's model, when it has one; else its body's legs under the
// standard upper body (ReferenceSkeleton).
DanceFigure FigureOf(const DanceSetup& setup);

}  // namespace pavaneflow
