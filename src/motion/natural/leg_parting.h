#pragma once

#include <array>
#include <cstdint>

#include "motion/body_proportions.h"
#include "motion/natural/key_track.h"

namespace pavaneflow {

// Parts the legs where the feet's and the centre's key frames, planned each on their own, take
// one leg through the other: a foot in the air is moved away from the other leg, in depth along
// the hips' forward (further in front when it is in front, further behind when behind) or
// outwards, on a smooth bump over its swing that leaves its lift and its landing where they are,
// as far as parts the legs at a real foot's pace. Of two feet in the air the higher one moves;
// of two as high, in a jump whose hips turn across in the air, either may.
// Only swings that land before `limit` and before the centre's last key frame, and whose legs,
// seen from above along their keys, come near each other, are looked at.
void PartLegs(const BodyProportions& body, const KeyTrack& centre, std::array<KeyTrack, 2>& feet,
              std::int32_t limit);

}  // namespace pavaneflow
