#pragma once

#include "motion/feet/foot_planner.h"

namespace pavaneflow {

// The classic footing: AssignFeet, Frame by Frame, seeing only the pose before.
class ClassicFootPlanner : public FootPlanner {
 public:
  std::unique_ptr<Footing> Start(const GenerationRequest& request, const Lane& lane,
                                 const TimingMap& timing) const override;
};

}  // namespace pavaneflow
