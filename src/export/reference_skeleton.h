#pragma once

#include "model/humanoid_skeleton.h"
#include "motion/body_proportions.h"

namespace pavaneflow {

// The humanoid skeleton of the figure a dance is made for when no model is given: the legs of
// `body` (hip joints, knees on the line to the ankles, ankles, toes), the hips bone 0.75 units
// (6 cm) above the hip joints, and the upper body of the standard-skeleton character, moved up or
// down with the hip joints. The arms rest as that character holds them, `body.upperArmDropDegrees`
// below horizontal. Every bone is present; the name is empty.
HumanoidSkeleton ReferenceSkeleton(const BodyProportions& body = kReferenceBody);

}  // namespace pavaneflow
