#pragma once

#include <cstdint>

#include "chart/chart_types.h"
#include "motion/floor_point.h"
#include "vmd/motion_frame.h"

namespace pavaneflow {

// Where one foot is and what it is doing at a pose.
struct FootState {
  // Floor position written for the foot IK bone: the arrow's position, x shifted outwards by the
  // foot IK offset.
  FloorPoint position;
  ArrowCode arrow = 0;  // the arrow under the foot
  bool held = false;    // holding a freeze
  bool moved = false;   // took an arrow at this pose's Frame (also the arrow it stood on)
};

// The synthesiser's working record for one moment of the dance: the starting pose or the pose
// reached at one chart Frame. Plain data; copying it copies the centreFrame reference only.
struct StepPose {
  StepPose() = default;
  StepPose(std::int32_t frame, bool beat) : frameNumber(frame), onBeat(beat) {}

  std::int32_t frameNumber = 0;  // 30 per second; negative poses emit nothing
  FootState left;
  FootState right;
  FloorPoint centre;      // midpoint of the two arrows, without the foot IK offset
  bool leftNext = false;  // the left foot is tried first for a new arrow at the next Frame
  float facing = 0.0f;    // yaw of the body, radians, not reduced modulo 2π
  // The centre key frame emitted for this pose, owned by the MotionDocument; null if none.
  MotionFrame* centreFrame = nullptr;
  bool onBeat = true;  // the Frame's tick is a multiple of a beat
};

}  // namespace pavaneflow
