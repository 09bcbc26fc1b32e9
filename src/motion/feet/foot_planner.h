#pragma once

#include <memory>

#include "chart/frame.h"
#include "chart/lane.h"
#include "motion/generation_request.h"
#include "motion/pad/step_pose.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {

// The footing of one Lane, asked once per Frame in tick order (beat Frames included). Fills the
// arrows, held and moved flags and lead of `current` from `previous` and the Frame, then places
// the feet; frame number, beat flag and centre key frame are left alone. A holding foot never
// moves, a freeze end releases it, a foot takes at most one Note per Frame and the two feet
// never end on the same arrow.
class Footing {
 public:
  virtual ~Footing() = default;
  virtual void Step(const StepPose& previous, const Frame& frame, StepPose& current) = 0;
};

// Decides which foot takes each Note of a Lane. The synthesiser asks the planner chosen where the
// GenerationRequest was built and never which one it is.
class FootPlanner {
 public:
  virtual ~FootPlanner() = default;
  // The footing of `lane` for `request`, timed by `timing`. All three must outlive the result.
  virtual std::unique_ptr<Footing> Start(const GenerationRequest& request, const Lane& lane,
                                         const TimingMap& timing) const = 0;
};

}  // namespace pavaneflow
