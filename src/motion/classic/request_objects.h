#pragma once

#include "motion/feet/classic_foot_planner.h"
#include "motion/feet/foot_planner.h"
#include "motion/generation_request.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {

// The timing map and the foot planner a GenerationRequest asks for, the classic ones where it
// names none: the one place below the request where "classic unless chosen" is decided. The
// request's song must be set, and the objects the request names must outlive this.
class RequestObjects {
 public:
  explicit RequestObjects(const GenerationRequest& request);
  RequestObjects(const RequestObjects&) = delete;
  RequestObjects& operator=(const RequestObjects&) = delete;

  const TimingMap& Timing() const { return *timing_; }
  const FootPlanner& Feet() const { return *feet_; }

 private:
  ClassicTiming classicTiming_;
  ClassicFootPlanner classicFeet_;
  const TimingMap* timing_;
  const FootPlanner* feet_;
};

}  // namespace pavaneflow
