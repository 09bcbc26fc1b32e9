#pragma once

#include "model/character_model.h"
#include "motion/body_proportions.h"

namespace pavaneflow {

// The proportions of a user's character, from its skeleton at rest: each pair of joints (hips,
// knees, ankles, upper arms) as the mean of its two sides with x mirrored, the legs' segment
// lengths, the knees' place in front of the hip–ankle line, the upper arm's rest direction
// (towards the elbow), and the centre bone's height, or for a model without one the reference
// body's centre height above the ankles, scaled with the legs.
BodyProportions ProportionsOf(const CharacterModel& model);

}  // namespace pavaneflow
