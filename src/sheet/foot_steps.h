#pragma once

#include <cstdint>
#include <vector>

#include "motion/floor_point.h"
#include "vmd/bone_track.h"

namespace pavaneflow {

enum class Foot { kLeft, kRight };

// A foot coming down on the floor, as a motion shows it.
struct FootStep {
  Foot foot = Foot::kLeft;
  std::int32_t frameNumber = 0;
  FloorPoint arrow;      // where the foot stands, the foot IK offset taken back off
  bool jump = false;     // the other foot lands at the same frame
  bool crossed = false;  // the left foot ends up right of the right foot
};

// The landings of both feet, in frame order, left before right at one frame. A foot lands at a
// key frame on the floor (height 0) when since its last one on the floor it was lifted, moved,
// or the centre went up (a jump). The starting stance is no landing.
std::vector<FootStep> FindFootSteps(const BoneTrack& leftFoot, const BoneTrack& rightFoot,
                                    const BoneTrack& centre);

// Where a foot's IK bone at `position` (x, y, z) has it stand on the floor.
FloorPoint ArrowUnderFoot(Foot foot, const std::array<double, 3>& position);

}  // namespace pavaneflow
