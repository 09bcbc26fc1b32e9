#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "motion/body_proportions.h"
#include "motion/floor_point.h"
#include "motion/key_track.h"
#include "motion/step_timeline.h"

namespace pavaneflow {

// A foot standing still on the floor from one frame to another, both included.
struct Support {
  std::int32_t from = 0;
  std::int32_t to = 0;
  FloorPoint at;
};

// A moment at which the centre has somewhere to be, found while the feet were planned.
struct CentreEvent {
  // In rising priority: of two events at one frame the higher one is kept.
  enum Kind { kStance, kRecover, kCrouchStart, kLift, kTakeOff, kApex, kTouchDown, kJumpLanding };
  std::int32_t frame = 0;
  Kind kind = kStance;
  int standing = -1;      // kLift: the foot that stays on the floor
  double yaw = 0.0;       // where the hips aim
  double rise = 0.0;      // kApex: the centre's height above rest; kTakeOff: the crouch's depth
  std::int64_t step = 0;  // the step or jump it belongs to, counted from 1
};

// The feet of a natural dance: each foot's IK key frames, where it stands when, and the moments
// the centre must follow. Index 0 is the left foot.
struct FootSwings {
  std::array<KeyTrack, 2> keys;
  std::array<std::vector<Support>, 2> supports;
  std::vector<CentreEvent> events;  // by frame; of one frame, in the order they were found

  // Where foot `side` stands at `frame`; none while it is in the air.
  std::optional<FloorPoint> PlantedAt(int side, std::int32_t frame) const;
  // Where foot `side` stands at `frame` or, in the air, where it lands next.
  FloorPoint StanceAt(int side, std::int32_t frame) const;
};

// Plans each step of `records`: the foot leaves its panel late (at most kMaxSwingSeconds before
// it lands, and not before the other foot has landed from its own step), rises with the
// distance and the time it has and lands slowly; the other foot stays. Both feet moving at once
// is a jump, at most kMaxJumpFrames from take-off to landing, however long the gap before it.
FootSwings PlanFootSwings(const std::vector<StepRecord>& records, const BodyProportions& body);

inline constexpr std::int32_t kMaxSwingFrames = 12;
inline constexpr std::int32_t kMaxJumpFrames = 15;

}  // namespace pavaneflow
